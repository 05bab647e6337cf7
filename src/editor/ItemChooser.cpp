#include "ItemChooser.h"

#include <QListWidget>
#include <QMouseEvent>

namespace qelvaro {

ItemChooser::ItemChooser(QListWidget* list) : QObject(list), m_list(list), m_viewport(list->viewport())
{
    m_viewport->installEventFilter(this);
    connect(list, &QListWidget::itemSelectionChanged, this, &ItemChooser::selectionChanged);
}

void ItemChooser::selectionChanged()
{
    // A press selects at once; the click is told on the release.
    if (m_buttonDown)
        return;
    QListWidgetItem* item = m_list->currentItem();
    if (item && item->isSelected())
        emit chosen(item);
}

bool ItemChooser::eventFilter(QObject* watched, QEvent* event)
{
    // Compared with the pointer kept at the start: the list may be half destroyed by now.
    if (watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_buttonDown = true;
        m_pressedRow = -1;
        if (mouse->button() == Qt::LeftButton) {
            if (QListWidgetItem* item = m_list->itemAt(mouse->position().toPoint()))
                m_pressedRow = m_list->row(item);
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        // The first click of the pair has chosen already.
        m_buttonDown = true;
        m_pressedRow = -1;
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_buttonDown = false;
        const int pressed = m_pressedRow;
        m_pressedRow = -1;
        if (mouse->button() == Qt::LeftButton && pressed >= 0) {
            QListWidgetItem* item = m_list->itemAt(mouse->position().toPoint());
            if (item && m_list->row(item) == pressed)
                emit chosen(item);
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qelvaro
