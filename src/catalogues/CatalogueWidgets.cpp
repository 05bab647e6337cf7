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

void CatalogueListModel::setRows(QList<ListedRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void CatalogueListModel::appendRow(ListedRow row)
{
    const int at = int(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(std::move(row));
    endInsertRows();
}

int CatalogueListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_rows[index.row()].text;
    if (role == kRowIdRole)
        return m_rows[index.row()].rowId;
    return QVariant();
}

CatalogueList::CatalogueList(QWidget* parent) : QListView(parent), m_model(new CatalogueListModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
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

int CatalogueList::currentRow() const
{
    return currentIndex().row();
}

void CatalogueList::setCurrentRow(int row)
{
    selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
}

std::optional<qint64> CatalogueList::selectedRowId() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    const int row = selected.first().row();
    if (row < 0 || row >= count())
        return std::nullopt;
    return rows()[row].rowId;
}

QRect CatalogueList::itemRect(int row) const
{
    return visualRect(m_model->index(row));
}

void CatalogueList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
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
        QListView::mousePressEvent(event);
}

void CatalogueList::mouseReleaseEvent(QMouseEvent* event)
{
    if (!rightButtonForMenu(event))
        QListView::mouseReleaseEvent(event);
}

void CatalogueList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!rightButtonForMenu(event))
        QListView::mouseDoubleClickEvent(event);
}

}  // namespace qelvaro
