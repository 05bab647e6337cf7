#include "TextBlockStore.h"

#include <climits>

namespace qelvaro {

namespace {

constexpr std::string_view kSetsOfCategory =
    R"(SELECT rowid, "名称" FROM "个人组套" WHERE "分类" LIKE ?1 ESCAPE '\' ORDER BY rowid)";
constexpr std::string_view kSearchSets =
    R"(SELECT rowid, "名称" FROM "个人组套" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "分类" LIKE ?2 ESCAPE '\'
       ORDER BY rowid)";
constexpr std::string_view kSetContent = R"(SELECT "内容" FROM "个人组套" WHERE rowid = ?1)";

constexpr std::string_view kTemplates =
    R"(SELECT rowid, "名称" FROM "病史模板" WHERE "序号" LIKE ?1 ESCAPE '\'
       ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kTemplateContent = R"(SELECT "内容" FROM "病史模板" WHERE rowid = ?1)";

// The one text column of the row, no value when the row is gone.
std::optional<QString> content(Database* db, std::string_view sql, qint64 rowId)
{
    if (!db)
        return std::nullopt;
    Statement st = db->prepare(sql);
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    return st.text(0);
}

}  // namespace

QString dropOneTrailingLineBreak(const QString& stored)
{
    if (stored.size() > 2 && stored.endsWith(QStringLiteral("\r\n")))
        return stored.left(stored.size() - 2);
    return stored;
}

CatalogueTable TextBlockStore::table() const
{
    return m_kind == Kind::Sets ? CatalogueTable::Sets : CatalogueTable::Templates;
}

QList<ListedRow> TextBlockStore::list(const QString& setKind) const
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

std::optional<TextBlockRow> TextBlockStore::read(qint64 rowId) const
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

WriteResult TextBlockStore::save(std::optional<qint64> rowId, const TextBlockRow& row, const QString& setKind)
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
    tellWritten(m_changes, table(), result);
    return result;
}

bool TextBlockStore::remove(qint64 rowId)
{
    return removeRow(m_db,
                     m_kind == Kind::Sets ? R"(DELETE FROM "个人组套" WHERE rowid = ?1)"
                                          : R"(DELETE FROM "病史模板" WHERE rowid = ?1)",
                     rowId, m_changes, table());
}

QList<ListedRow> TextBlockStore::pickerSets(const QString& caption) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kSetsOfCategory);
    st.bindAll(likeContains(caption));
    return completeList(std::move(st));
}

QList<ListedRow> TextBlockStore::pickerSearch(const QString& typed, const QString& caption) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kSearchSets);
    st.bindAll(likeContains(typed), likeContains(caption));
    return completeList(std::move(st));
}

std::optional<QString> TextBlockStore::setContent(qint64 rowId) const { return content(m_db, kSetContent, rowId); }

QList<NamedQuery> TextBlockStore::pickerQueries()
{
    using T = NamedQuery::Target;
    return {{"sets of a category", kSetsOfCategory, T::Settings},
            {"set search", kSearchSets, T::Settings},
            {"set content", kSetContent, T::Settings}};
}

QList<ListedRow> TextBlockStore::lookupTemplates(const QString& searchText) const
{
    return rowsContaining(m_db, kTemplates, searchText);
}

std::optional<QString> TextBlockStore::templateContent(qint64 rowId) const
{
    return content(m_db, kTemplateContent, rowId);
}

QList<NamedQuery> TextBlockStore::lookupQueries()
{
    using enum NamedQuery::Target;
    return {{"history templates", kTemplates, Settings}, {"template content", kTemplateContent, Settings}};
}

}  // namespace qelvaro
