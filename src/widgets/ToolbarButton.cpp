#include "ToolbarButton.h"

#include "Twips.h"

#include <QLabel>
#include <QMouseEvent>

namespace qelvaro {

ToolbarButton::ToolbarButton(const QPixmap& icon, const QString& caption, QWidget* parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    resize(twipsToPixels(1095), twipsToPixels(555));

    m_icon = new QLabel(this);
    m_icon->setPixmap(icon);
    m_icon->adjustSize();
    m_icon->move(4, (height() - m_icon->height()) / 2);

    m_caption = new QLabel(caption, this);
    m_caption->adjustSize();
    m_caption->move(twipsPoint(600, 180));

    // The whole box takes the mouse, as one button.
    m_icon->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
    setPressedLook(false);
}

void ToolbarButton::setPressedLook(bool pressed)
{
    if (pressed) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::NoFrame);
    }
}

void ToolbarButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_pressed = true;
    setPressedLook(true);
}

void ToolbarButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_pressed)
        return;
    m_pressed = false;
    setPressedLook(false);
    emit activated(event->button());
}

void ToolbarButton::changeEvent(QEvent* event)
{
    // A button disabled while held down must not stay sunken.
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_pressed) {
        m_pressed = false;
        setPressedLook(false);
    }
    QFrame::changeEvent(event);
}

}  // namespace qelvaro
