#pragma once

#include "ListedRow.h"

#include <QAbstractListModel>
#include <QList>
#include <QListView>

#include <optional>

namespace qelvaro {

// Rows whose texts are known when listed.
class RowListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The role under which a list's model gives the row an item stands for.
    static constexpr int kRowIdRole = Qt::UserRole;

    using QAbstractListModel::QAbstractListModel;

    void setRows(QList<ListedRow> rows);
    void appendRow(ListedRow row);
    const QList<ListedRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<ListedRow> m_rows;
};

// A list of stored rows, one item each, over any model that gives an item's text and its row
// (kRowIdRole). Items are of one height, so a list of any length is laid out at once; the texts are
// asked for only as items are shown.
class RowList : public QListView {
    Q_OBJECT
public:
    explicit RowList(QWidget* parent = nullptr);

    int count() const;
    QString text(int row) const;
    qint64 rowId(int row) const;

    // The item that has the focus, or -1. setCurrentRow also selects it (-1 selects nothing).
    int currentRow() const;
    void setCurrentRow(int row);
    // The selected item, or -1; and the row it stands for.
    int selectedRow() const;
    std::optional<qint64> selectedRowId() const;
    QRect itemRect(int row) const;
};

}  // namespace qelvaro
