#include "CatalogueWidgets.h"

#include "Twips.h"

#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

namespace qelvaro {

void makeFixedDialog(QWidget* window, const QString& caption, int widthTwips, int heightTwips)
{
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

QPushButton* makeButton(QWidget* parent, const QString& caption, const char* objectName, int left, int top, int width,
                        int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setGeometry(twipsRect(left, top, width, height));
    // Enter on a focused button presses it, as in any dialog.
    button->setAutoDefault(true);
    return button;
}

QLineEdit* makeLineBox(QWidget* parent, const char* objectName, int left, int top, int width, int height)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setGeometry(twipsRect(left, top, width, height));
    return box;
}

void setBoxText(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

QFont songFont(double points)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    return font;
}

CatalogueList::CatalogueList(QWidget* parent) : RowList(parent), m_model(new RowListModel(this))
{
    setModel(m_model);
    connect(this, &QAbstractItemView::clicked, this, [this] { emit itemClicked(); });
}

void CatalogueList::setRows(QList<ListedRow> rows)
{
    const QSignalBlocker quiet(this);
    m_model->setRows(std::move(rows));
    setCurrentRow(-1);
}

void CatalogueList::appendRow(ListedRow row)
{
    const QSignalBlocker quiet(this);
    m_model->appendRow(std::move(row));
}

void refillList(CatalogueList* list, QList<ListedRow> rows, bool pickFirst, EditTarget& target)
{
    list->setRows(std::move(rows));
    if (!pickFirst)
        return;
    // The row the boxes showed is no longer what the list offers, whether or not a first row is
    // there to take its place.
    target.row.reset();
    if (list->count() > 0)
        list->setCurrentRow(0);
}

void CatalogueList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    RowList::selectionChanged(selected, deselected);
    emit itemSelectionChanged();
}

bool CatalogueList::rightButtonForMenu(QMouseEvent* event)
{
    if (!m_menu || event->button() != Qt::RightButton)
        return false;
    if (event->type() == QEvent::MouseButtonRelease && count() > 0)
        m_menu->popup(event->globalPosition().toPoint());
    event->accept();
    return true;
}

void CatalogueList::mousePressEvent(QMouseEvent* event)
{
    if (!rightButtonForMenu(event))
        RowList::mousePressEvent(event);
}

void CatalogueList::mouseReleaseEvent(QMouseEvent* event)
{
    if (!rightButtonForMenu(event))
        RowList::mouseReleaseEvent(event);
}

void CatalogueList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!rightButtonForMenu(event))
        RowList::mouseDoubleClickEvent(event);
}

}  // namespace qelvaro
