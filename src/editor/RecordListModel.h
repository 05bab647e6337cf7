#pragma once

#include "RecordStore.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

namespace qelvaro {

// The record list over the row ids of one query: an item's text is read from its row when the
// view shows it, so a list of any length is filled at once.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kRowIdRole = Qt::UserRole;
    static constexpr int kKeyRole = Qt::UserRole + 1;

    RecordListModel(const RecordStore& store, QObject* parent = nullptr);

    void setRowIds(QList<qint64> rowIds);
    qint64 rowId(int row) const { return row >= 0 && row < m_rowIds.size() ? m_rowIds[row] : 0; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    const RecordListRow& shown(int row) const;

    const RecordStore& m_store;
    QList<qint64> m_rowIds;
    mutable QHash<int, RecordListRow> m_read;  // rows read for showing, a screenful or a few
};

}  // namespace qelvaro
