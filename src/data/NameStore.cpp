#include "NameStore.h"

namespace qelvaro {

namespace {

// The table name comes from the enum, never from typed text.
std::string nameSql(const char* pattern, NameTable table)
{
    const char* name = table == NameTable::Diagnoses ? "诊断" : "地址";
    return QString::fromUtf8(pattern).arg(QString::fromUtf8(name)).toStdString();
}

// A null name would show as an empty item that takes nothing: such rows are left out.
constexpr std::string_view kDiagnosesByKey =
    R"(SELECT rowid, "名称" FROM "诊断" WHERE "序号" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kDiagnosesByPinyin =
    R"(SELECT rowid, "名称" FROM "诊断" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kAddressesByKey =
    R"(SELECT rowid, "名称" FROM "地址" WHERE "序号" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kAddressesByPinyin =
    R"(SELECT rowid, "名称" FROM "地址" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";

}  // namespace

NameStore::NameStore(Database* settings, NameTable table, CatalogueChanges* changes)
    : m_db(settings), m_table(table), m_changes(changes)
{
}

CatalogueTable NameStore::table() const
{
    return m_table == NameTable::Diagnoses ? CatalogueTable::Diagnoses : CatalogueTable::Addresses;
}

QList<ListedRow> NameStore::all() const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(nameSql(R"(SELECT rowid, "名称" FROM "%1" ORDER BY rowid)", m_table));
    return readList(st);
}

QList<ListedRow> NameStore::search(const QString& typed) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(
        nameSql(R"(SELECT rowid, "名称" FROM "%1" WHERE "序号" LIKE ?1 ESCAPE '\' ORDER BY rowid)", m_table));
    st.bind(1, likeContains(typed));
    return readList(st);
}

WriteResult NameStore::add(const QString& name, const QString& code)
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
    tellWritten(m_changes, table(), result);
    return result;
}

bool NameStore::remove(qint64 rowId)
{
    return removeRow(m_db, nameSql(R"(DELETE FROM "%1" WHERE rowid = ?1)", m_table), rowId, m_changes, table());
}

QList<ListedRow> NameStore::lookupByKey(const QString& text) const
{
    return rowsContaining(m_db, m_table == NameTable::Diagnoses ? kDiagnosesByKey : kAddressesByKey, text);
}

QList<ListedRow> NameStore::lookupByPinyin(const QString& text) const
{
    return rowsContaining(m_db, m_table == NameTable::Diagnoses ? kDiagnosesByPinyin : kAddressesByPinyin, text);
}

QList<NamedQuery> NameStore::lookupQueries()
{
    using enum NamedQuery::Target;
    return {{"diagnoses while typing", kDiagnosesByKey, Settings},
            {"diagnoses on entry", kDiagnosesByPinyin, Settings},
            {"addresses while typing", kAddressesByKey, Settings},
            {"addresses on entry", kAddressesByPinyin, Settings}};
}

}  // namespace qelvaro
