#include "RowList.h"

namespace qelvaro {

void RowListModel::setRows(QList<ListedRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void RowListModel::appendRow(ListedRow row)
{
    const int at = int(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(std::move(row));
    endInsertRows();
}

int RowListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_rows[index.row()].text;
    if (role == kRowIdRole)
        return m_rows[index.row()].rowId;
    return QVariant();
}

RowList::RowList(QWidget* parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int RowList::count() const
{
    return model() ? model()->rowCount() : 0;
}

QString RowList::text(int row) const
{
    return model() ? model()->index(row, 0).data(Qt::DisplayRole).toString() : QString();
}

qint64 RowList::rowId(int row) const
{
    return model() ? model()->index(row, 0).data(RowListModel::kRowIdRole).toLongLong() : 0;
}

int RowList::currentRow() const
{
    return currentIndex().row();
}

void RowList::setCurrentRow(int row)
{
    if (model())
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

int RowList::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return -1;
    const int row = selected.first().row();
    return row < count() ? row : -1;
}

std::optional<qint64> RowList::selectedRowId() const
{
    const int row = selectedRow();
    if (row < 0)
        return std::nullopt;
    return rowId(row);
}

QRect RowList::itemRect(int row) const
{
    return model() ? visualRect(model()->index(row, 0)) : QRect();
}

}  // namespace qelvaro
