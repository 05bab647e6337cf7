#include "CatalogueStore.h"

#include "CatalogueChanges.h"
#include "BodyText.h"
#include "SearchIndexes.h"
#include "TextRules.h"

#include <climits>

namespace qelvaro {

namespace {

constexpr int kTextWidth = 50;
constexpr int kLongNameWidth = 200;

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

// Why a column value would be refused by the schema, or empty when it fits.
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

const QString kWriteFailed = QStringLiteral("未能写入数据库，未保存。");
const QString kRowGone = QStringLiteral("该条目已被删除，未保存。");

QList<ListedRow> readList(Statement& st)
{
    QList<ListedRow> rows;
    while (st.next())
        rows.append({st.integer(0), st.text(1)});
    return rows;
}

// The names are moved, not shared: sharing would raise and later drop the count of every name,
// a write to thousands of scattered heap blocks.
QList<ListedRow> listedRows(std::vector<DrugIndex::Match>&& matches)
{
    QList<ListedRow> rows;
    rows.reserve(qsizetype(matches.size()));
    for (DrugIndex::Match& match : matches)
        rows.append({match.rowId, std::move(match.name)});
    return rows;
}

// Runs an insert (no rowId) or an update of the given row; the result names the row written.
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

void tellWritten(CatalogueChanges* changes, const QString& table, const WriteResult& result)
{
    if (changes && result.ok())
        emit changes->rowWritten(table, *result.rowId);
}

bool removeRow(Database* db, std::string_view sql, qint64 rowId, CatalogueChanges* changes, const QString& table)
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

// --- drugs ---

// Equal names are listed in the order they were added.

const QString kDrugTable = QStringLiteral("药品");

constexpr std::string_view kDrugsContainingCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "分类" LIKE ?1 ESCAPE '\' ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kDrugsOfCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "分类" = ?1 ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kDrugSearch =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "拼音" LIKE ?1 ESCAPE '\' ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kDrugRead = R"(SELECT "名称", "拼音", "分类" FROM "药品" WHERE rowid = ?1)";
constexpr std::string_view kDrugInsert = R"(INSERT INTO "药品" ("名称", "拼音", "分类") VALUES (?1, ?2, ?3))";
constexpr std::string_view kDrugUpdate =
    R"(UPDATE "药品" SET "名称" = ?1, "拼音" = ?2, "分类" = ?3 WHERE rowid = ?4)";
constexpr std::string_view kDrugDelete = R"(DELETE FROM "药品" WHERE rowid = ?1)";

}  // namespace

QStringList drugCategories()
{
    return {QStringLiteral("抗生素"), QStringLiteral("输液"),   QStringLiteral("心血管"),     QStringLiteral("呼吸"),
            QStringLiteral("消化"),   QStringLiteral("神经"),   QStringLiteral("内分泌"),     QStringLiteral("解热镇痛"),
            QStringLiteral("维生素激素"), QStringLiteral("外用"), QStringLiteral("中成药"), QStringLiteral("其他"),
            QStringLiteral("中药")};
}

DrugEntryText drugEntryBoxes(const QString& stored)
{
    const DrugEntryParts parts = splitDrugEntry(stored);
    return {parts.drug, parts.usages.join(u'\\')};
}

QString joinDrugEntry(const QString& name, const QString& usage)
{
    return usage.isEmpty() ? name : name + u'\\' + usage;
}

QString drugCodeToStore(const QString& codeBox, const QString& nameBox)
{
    return trimBlanks(trimBlanks(codeBox).isEmpty() ? nameBox : codeBox);
}

int categoryAfterSave(const QString& categoryText, int currentMode)
{
    const int index = int(drugCategories().indexOf(categoryText));
    return index >= 0 ? index : currentMode;
}

QList<ListedRow> DrugCatalogue::list(std::string_view sql, const QString& parameter) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(sql);
    st.bind(1, parameter);
    return readList(st);
}

const DrugIndex* DrugCatalogue::index() const
{
    // The index follows the program's own database only.
    return m_indexes && m_db ? m_indexes->drugs() : nullptr;
}

QList<ListedRow> DrugCatalogue::containingCategory(const QString& caption) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->containingCategory(caption));
    return list(kDrugsContainingCategory, likeContains(caption));
}

QList<ListedRow> DrugCatalogue::ofCategory(const QString& caption) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->ofCategory(caption));
    return list(kDrugsOfCategory, caption);
}

QList<ListedRow> DrugCatalogue::search(const QString& typed) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->withCode(typed));
    return list(kDrugSearch, likeContains(typed));
}

std::optional<DrugRow> DrugCatalogue::read(qint64 rowId) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(kDrugRead);
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    return DrugRow{st.text(0), st.text(1), st.text(2)};
}

WriteResult DrugCatalogue::save(std::optional<qint64> rowId, const DrugRow& row)
{
    const DrugEntryText parts = drugEntryBoxes(row.name);
    // The name box comes first: a name of blanks, or a usage without a name, would otherwise
    // pass on a typed code or be blamed on the code box.
    const QString refusal = firstRefusal({
        checkText(QStringLiteral("药品名称"), trimBlanks(parts.name), kLongNameWidth, true),
        parts.usage.isEmpty() ? QString()
                              : checkJoined(QStringLiteral("药品名称"), QStringLiteral("用法用量"), row.name, kLongNameWidth),
        checkText(QStringLiteral("药品名称"), row.name, kLongNameWidth, true),
        checkText(QStringLiteral("拼音代码"), row.code, kTextWidth, true),
        checkText(QStringLiteral("药品分类"), row.category, kTextWidth, false),
    });
    if (!refusal.isEmpty())
        return WriteResult::refused(refusal);
    if (!m_db)
        return WriteResult::refused(kWriteFailed);
    Statement st = m_db->prepare(rowId ? kDrugUpdate : kDrugInsert);
    st.bindAll(row.name, row.code, row.category);
    if (rowId)
        st.bind(4, *rowId);
    const WriteResult result = runWrite(*m_db, st, rowId);
    if (result.ok() && m_indexes)
        m_indexes->drugWritten(*result.rowId);
    tellWritten(m_changes, kDrugTable, result);
    return result;
}

bool DrugCatalogue::remove(qint64 rowId)
{
    if (!removeRow(m_db, kDrugDelete, rowId, m_changes, kDrugTable))
        return false;
    if (m_indexes)
        m_indexes->drugWritten(rowId);
    return true;
}

// --- names ---

NameCatalogue::NameCatalogue(Database* settings, NameTable table, CatalogueChanges* changes)
    : m_db(settings), m_table(table), m_changes(changes)
{
}

QString NameCatalogue::tableName() const
{
    return m_table == NameTable::Diagnoses ? QStringLiteral("诊断") : QStringLiteral("地址");
}

namespace {

// The table name comes from the enum, never from typed text.
std::string nameSql(const char* pattern, NameTable table)
{
    const char* name = table == NameTable::Diagnoses ? "诊断" : "地址";
    return QString::fromUtf8(pattern).arg(QString::fromUtf8(name)).toStdString();
}

}  // namespace

QList<ListedRow> NameCatalogue::all() const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(nameSql(R"(SELECT rowid, "名称" FROM "%1" ORDER BY rowid)", m_table));
    return readList(st);
}

QList<ListedRow> NameCatalogue::search(const QString& typed) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(
        nameSql(R"(SELECT rowid, "名称" FROM "%1" WHERE "序号" LIKE ?1 ESCAPE '\' ORDER BY rowid)", m_table));
    st.bind(1, likeContains(typed));
    return readList(st);
}

WriteResult NameCatalogue::add(const QString& name, const QString& code)
{
    const QString label = m_table == NameTable::Diagnoses ? QStringLiteral("诊断名称") : QStringLiteral("地址名称");
    const QString key = name + code;
    const QString refusal = firstRefusal({
        checkText(label, name, kTextWidth, true),
        checkText(QStringLiteral("拼音代码"), code, kTextWidth, true),
        checkJoined(label, QStringLiteral("拼音代码"), key, kTextWidth),
    });
    if (!refusal.isEmpty())
        return WriteResult::refused(refusal);
    if (!m_db)
        return WriteResult::refused(kWriteFailed);
    Statement st =
        m_db->prepare(nameSql(R"(INSERT INTO "%1" ("名称", "拼音", "序号") VALUES (?1, ?2, ?3))", m_table));
    st.bindAll(name, code, key);
    const WriteResult result = runWrite(*m_db, st, std::nullopt);
    tellWritten(m_changes, tableName(), result);
    return result;
}

bool NameCatalogue::remove(qint64 rowId)
{
    return removeRow(m_db, nameSql(R"(DELETE FROM "%1" WHERE rowid = ?1)", m_table), rowId, m_changes, tableName());
}

// --- sets and templates ---

QString dropOneTrailingLineBreak(const QString& stored)
{
    if (stored.size() > 2 && stored.endsWith(QStringLiteral("\r\n")))
        return stored.left(stored.size() - 2);
    return stored;
}

QString TextBlockCatalogue::tableName() const
{
    return m_kind == Kind::Sets ? QStringLiteral("个人组套") : QStringLiteral("病史模板");
}

QList<ListedRow> TextBlockCatalogue::list(const QString& setKind) const
{
    if (!m_db)
        return {};
    if (m_kind == Kind::Sets) {
        Statement st = m_db->prepare(R"(SELECT rowid, "名称" FROM "个人组套" WHERE "分类" = ?1 ORDER BY rowid)");
        st.bind(1, setKind);
        return readList(st);
    }
    Statement st = m_db->prepare(R"(SELECT rowid, "名称" FROM "病史模板" ORDER BY rowid)");
    return readList(st);
}

std::optional<TextBlockRow> TextBlockCatalogue::read(qint64 rowId) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(m_kind == Kind::Sets
                                     ? R"(SELECT "名称", "拼音", "内容" FROM "个人组套" WHERE rowid = ?1)"
                                     : R"(SELECT "名称", "拼音", "内容" FROM "病史模板" WHERE rowid = ?1)");
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    return TextBlockRow{st.text(0), st.text(1), st.text(2)};
}

WriteResult TextBlockCatalogue::save(std::optional<qint64> rowId, const TextBlockRow& row, const QString& setKind)
{
    const bool sets = m_kind == Kind::Sets;
    const QString key = row.name + row.code;
    const QString refusal = firstRefusal({
        checkText(QStringLiteral("名称"), row.name, sets ? kTextWidth : kLongNameWidth, true),
        checkText(QStringLiteral("拼音"), row.code, kTextWidth, sets),
        sets ? QString() : checkJoined(QStringLiteral("名称"), QStringLiteral("拼音"), key, kTextWidth),
        checkText(QStringLiteral("内容"), row.content, INT_MAX, true),
    });
    if (!refusal.isEmpty())
        return WriteResult::refused(refusal);
    if (!m_db)
        return WriteResult::refused(kWriteFailed);

    Statement st;
    if (sets) {
        st = m_db->prepare(rowId ? R"(UPDATE "个人组套" SET "名称" = ?1, "内容" = ?2, "拼音" = ?3, "分类" = ?4
                                      WHERE rowid = ?5)"
                                 : R"(INSERT INTO "个人组套" ("名称", "内容", "拼音", "分类") VALUES (?1, ?2, ?3, ?4))");
        st.bindAll(row.name, row.content, row.code, setKind);
        if (rowId)
            st.bind(5, *rowId);
    } else {
        st = m_db->prepare(rowId ? R"(UPDATE "病史模板" SET "名称" = ?1, "内容" = ?2, "序号" = ?3, "拼音" = ?4
                                      WHERE rowid = ?5)"
                                 : R"(INSERT INTO "病史模板" ("名称", "内容", "序号", "拼音") VALUES (?1, ?2, ?3, ?4))");
        st.bindAll(row.name, row.content, key, row.code);
        if (rowId)
            st.bind(5, *rowId);
    }
    const WriteResult result = runWrite(*m_db, st, rowId);
    tellWritten(m_changes, tableName(), result);
    return result;
}

bool TextBlockCatalogue::remove(qint64 rowId)
{
    return removeRow(m_db,
                     m_kind == Kind::Sets ? R"(DELETE FROM "个人组套" WHERE rowid = ?1)"
                                          : R"(DELETE FROM "病史模板" WHERE rowid = ?1)",
                     rowId, m_changes, tableName());
}

}  // namespace qelvaro
