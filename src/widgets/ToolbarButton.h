#pragma once

#include <QFrame>

class QLabel;

namespace qelvaro {

// One button of the main window's toolbar: an icon at the left and a caption. A press with any
// mouse button shows the sunken look; the release restores the flat look and then reports
// activated, wherever the pointer is by then.
class ToolbarButton : public QFrame {
    Q_OBJECT
public:
    ToolbarButton(const QPixmap& icon, const QString& caption, QWidget* parent = nullptr);

signals:
    void activated(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setPressedLook(bool pressed);

    QLabel* m_icon;
    QLabel* m_caption;
    bool m_pressed = false;
};

}  // namespace qelvaro
