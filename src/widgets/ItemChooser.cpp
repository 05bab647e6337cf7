#include "ItemChooser.h"

#include <QListWidget>
#include <QMouseEvent>

namespace qelvaro {

ItemChooser::ItemChooser(QAbstractItemView* view)
    : QObject(view), m_view(view), m_list(qobject_cast<QListWidget*>(view)), m_viewport(view->viewport())
{
    m_viewport->installEventFilter(this);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &ItemChooser::selectionChanged);
}

void ItemChooser::choose(int row)
{
    emit chosenRow(row);
    if (m_list)
        emit chosen(m_list->item(row));
}

int ItemChooser::rowAt(const QPoint& position) const
{
    const QModelIndex index = m_view->indexAt(position);
    return index.isValid() ? index.row() : -1;
}

void ItemChooser::selectionChanged()
{
    // A press selects at once; the click is told on the release.
    if (m_buttonDown)
        return;
    const QModelIndex current = m_view->currentIndex();
    if (current.isValid() && m_view->selectionModel()->isSelected(current))
        choose(current.row());
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
        m_pressedRow = mouse->button() == Qt::LeftButton ? rowAt(mouse->position().toPoint()) : -1;
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
        if (mouse->button() == Qt::LeftButton && pressed >= 0 && rowAt(mouse->position().toPoint()) == pressed)
            choose(pressed);
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qelvaro
