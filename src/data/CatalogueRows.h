#pragma once

#include "CatalogueChanges.h"
#include "Database.h"
#include "ListedRow.h"

#include <QList>
#include <QString>

#include <initializer_list>
#include <optional>
#include <string_view>

namespace qelvaro {

// The outcome of a write: the row written, or why nothing was stored (told to the doctor as it is).
struct WriteResult {
    std::optional<qint64> rowId;
    QString refusal;

    bool ok() const { return rowId.has_value(); }
    static WriteResult refused(const QString& why) { return {std::nullopt, why}; }
};

// What 保存 and 删除 of a catalogue window act on: a new row while adding, otherwise the row the
// boxes show (picked, or written by the last 保存). No row: 保存 adds and 删除 does nothing.
struct EditTarget {
    bool adding = false;
    std::optional<qint64> row;

    std::optional<qint64> rowToOverwrite() const { return adding ? std::nullopt : row; }
};

// --- What the catalogue stores (drugs, names, sets and templates) share ---

inline constexpr int kTextWidth = 50;
inline constexpr int kLongNameWidth = 200;

extern const QString kWriteFailed;

// Why a column value would be refused by the schema, or empty when it fits.
QString checkText(const QString& label, const QString& text, int width, bool required);
QString checkJoined(const QString& first, const QString& second, const QString& joined, int width);
QString firstRefusal(std::initializer_list<QString> checks);

// The rows of a statement that reads rowid and a name.
QList<ListedRow> readList(Statement& st);
// The same, but a statement that fails half-way lists nothing rather than a part that looks complete.
QList<ListedRow> completeList(Statement&& st);
// The rows of a statement whose one parameter is the filter, matched literally anywhere.
QList<ListedRow> rowsContaining(Database* db, std::string_view sql, const QString& filter);

// Runs an insert (no rowId) or an update of the given row; the result names the row written.
WriteResult runWrite(Database& db, Statement& st, std::optional<qint64> rowId);
void tellWritten(CatalogueChanges* changes, CatalogueTable table, const WriteResult& result);
bool removeRow(Database* db, std::string_view sql, qint64 rowId, CatalogueChanges* changes, CatalogueTable table);

}  // namespace qelvaro
