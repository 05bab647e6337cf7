#include "CatalogueRows.h"

#include "CatalogueChanges.h"

namespace qelvaro {

namespace {

// Characters as the database counts them (a character outside the BMP is one).
qsizetype characterCount(const QString& text)
{
    qsizetype count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ++count;
    return count;
}

QString quoted(const QString& label) { return QStringLiteral("“%1”").arg(label); }

const QString kRowGone = QStringLiteral("该条目已被删除，未保存。");

}  // namespace

const QString kWriteFailed = QStringLiteral("未能写入数据库，未保存。");

QString checkText(const QString& label, const QString& text, int width, bool required)
{
    if (required && text.isEmpty())
        return QStringLiteral("%1不能为空，未保存。").arg(quoted(label));
    if (characterCount(text) > width)
        return QStringLiteral("%1最多只能填写%2个字，未保存。").arg(quoted(label)).arg(width);
    return {};
}

QString checkJoined(const QString& first, const QString& second, const QString& joined, int width)
{
    if (characterCount(joined) > width)
        return QStringLiteral("%1与%2合计最多只能填写%3个字，未保存。").arg(quoted(first), quoted(second)).arg(width);
    return {};
}

QString firstRefusal(std::initializer_list<QString> checks)
{
    for (const QString& check : checks)
        if (!check.isEmpty())
            return check;
    return {};
}

QList<ListedRow> readList(Statement& st)
{
    QList<ListedRow> rows;
    while (st.next())
        rows.append({st.integer(0), st.text(1)});
    return rows;
}

QList<ListedRow> completeList(Statement&& st)
{
    QList<ListedRow> list;
    while (st.next())
        list.append({st.integer(0), st.text(1)});
    // A statement that fails half-way lists nothing rather than a part that looks complete.
    if (!st.ok())
        list.clear();
    return list;
}

QList<ListedRow> rowsContaining(Database* db, std::string_view sql, const QString& filter)
{
    if (!db)
        return {};
    Statement st = db->prepare(sql);
    st.bind(1, likeContains(filter));
    return readList(st);
}

WriteResult runWrite(Database& db, Statement& st, std::optional<qint64> rowId)
{
    if (!st.run())
        return WriteResult::refused(kWriteFailed);
    if (rowId) {
        if (db.changes() == 0)
            return WriteResult::refused(kRowGone);
        return {rowId, {}};
    }
    return {db.lastInsertRowId(), {}};
}

void tellWritten(CatalogueChanges* changes, CatalogueTable table, const WriteResult& result)
{
    if (changes && result.ok())
        emit changes->rowWritten(table, *result.rowId);
}

bool removeRow(Database* db, std::string_view sql, qint64 rowId, CatalogueChanges* changes, CatalogueTable table)
{
    if (!db)
        return false;
    Statement st = db->prepare(sql);
    st.bind(1, rowId);
    if (!st.run())
        return false;
    // A row already gone counts as deleted; only a real removal is announced.
    if (changes && db->changes() > 0)
        emit changes->rowRemoved(table, rowId);
    return true;
}

}  // namespace qelvaro
