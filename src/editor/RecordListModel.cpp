#include "RecordListModel.h"

namespace qelvaro {
namespace {

// Enough for several screens; beyond it the rows read for showing are read again when shown.
constexpr int kKeptRows = 4096;

}  // namespace

RecordListModel::RecordListModel(const RecordStore& store, QObject* parent)
    : QAbstractListModel(parent), m_store(store)
{
}

void RecordListModel::setRowIds(QList<qint64> rowIds)
{
    beginResetModel();
    m_rowIds = std::move(rowIds);
    m_read.clear();
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rowIds.size());
}

const RecordListRow& RecordListModel::shown(int row) const
{
    auto it = m_read.find(row);
    if (it == m_read.end()) {
        if (m_read.size() >= kKeptRows)
            m_read.clear();
        // A record deleted since the list was read shows as an empty item and opens nothing.
        it = m_read.insert(row, m_store.listRow(m_rowIds[row]).value_or(RecordListRow{m_rowIds[row], {}, {}}));
    }
    return *it;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowIds.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return shown(index.row()).itemText;
    case kRowIdRole:
        return m_rowIds[index.row()];
    case kKeyRole:
        return shown(index.row()).key;
    default:
        return QVariant();
    }
}

}  // namespace qelvaro
