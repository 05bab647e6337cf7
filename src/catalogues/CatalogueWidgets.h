#pragma once

#include "CatalogueRows.h"
#include "RowList.h"

#include <QList>
#include <QString>

class QFont;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;

namespace qelvaro {

// Pieces the catalogue windows share.

// A fixed dialog frame with a close box and no minimise or maximise box, of the given client size
// in twips.
void makeFixedDialog(QWidget* window, const QString& caption, int widthTwips, int heightTwips);

QPushButton* makeButton(QWidget* parent, const QString& caption, const char* objectName, int left, int top, int width,
                        int height);
QLineEdit* makeLineBox(QWidget* parent, const char* objectName, int left, int top, int width, int height);

// Sets a box's text only when it differs, so an unchanged text raises no change.
void setBoxText(QLineEdit* box, const QString& text);

QFont songFont(double points);

// The list of a catalogue window. It owns the rows it shows, so every command acts on the row of
// the selected item. A refill selects nothing and raises no signal; selecting an item by the
// pointer, the keys or setCurrentRow raises itemSelectionChanged, and a left click on an item
// raises itemClicked, also when that item was already selected.
class CatalogueList : public RowList {
    Q_OBJECT
public:
    explicit CatalogueList(QWidget* parent = nullptr);

    void setRows(QList<ListedRow> rows);
    // Adds a row at the end, selecting nothing.
    void appendRow(ListedRow row);
    const QList<ListedRow>& rows() const { return m_model->rows(); }

    // With a menu the right button never changes the selection, and its release over a list with
    // items pops the menu up at the pointer.
    void setMenu(QMenu* menu) { m_menu = menu; }

signals:
    void itemSelectionChanged();
    void itemClicked();

protected:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool rightButtonForMenu(QMouseEvent* event);

    RowListModel* m_model;
    QMenu* m_menu = nullptr;
};

// Refills a catalogue window's list. With pickFirst the first item is selected, which picks it and
// binds the boxes to its row; a list with nothing to pick leaves the boxes bound to no row, so
// 保存 adds what they show and 删除 does nothing.
void refillList(CatalogueList* list, QList<ListedRow> rows, bool pickFirst, EditTarget& target);

}  // namespace qelvaro
