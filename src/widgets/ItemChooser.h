#pragma once

#include <QObject>

class QAbstractItemView;
class QListWidget;
class QListWidgetItem;

namespace qelvaro {

// Tells which item of a list the user chose: the item clicked with the left button (again, if it
// was already selected), or the item the keyboard moved the selection onto. Taking the focus, a
// right click, a drag or a refill chooses nothing; a double-click chooses once. The view's model
// is set before the chooser is made and kept.
class ItemChooser : public QObject {
    Q_OBJECT
public:
    explicit ItemChooser(QAbstractItemView* view);

signals:
    void chosenRow(int row);
    // For a list widget, the same choice as its item.
    void chosen(QListWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectionChanged();
    void choose(int row);
    int rowAt(const QPoint& position) const;

    QAbstractItemView* m_view;
    QListWidget* m_list;  // null for other views
    QObject* m_viewport;
    bool m_buttonDown = false;
    int m_pressedRow = -1;  // the row a left press began on; -1 when the release chooses nothing
};

}  // namespace qelvaro
