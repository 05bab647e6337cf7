#include "DrugQueries.h"

#include <limits>

namespace qelvaro {
namespace {

// A row without a name would list as an empty entry that inserts nothing: such rows are left out.
// The searches order equal names as the index on (名称, 拼音, 分类) holds them, so the index serves
// the order, the search stops at its 200th match, and the in-memory drug index lists the same.
// A category lists equal names in the order they were added, as the in-memory index does.
constexpr std::string_view kDrugsOfCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "分类" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kSetsOfCategory =
    R"(SELECT rowid, "名称" FROM "个人组套" WHERE "分类" LIKE ?1 ESCAPE '\' ORDER BY rowid)";
constexpr std::string_view kSearchDrugs =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY "名称" COLLATE GBK, "拼音", "分类", rowid LIMIT ?2)";
constexpr std::string_view kSearchDrugsOfCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "分类" LIKE ?2 ESCAPE '\'
       AND "名称" IS NOT NULL ORDER BY "名称" COLLATE GBK, "拼音", "分类", rowid LIMIT ?3)";
constexpr std::string_view kSearchSets =
    R"(SELECT rowid, "名称" FROM "个人组套" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "分类" LIKE ?2 ESCAPE '\'
       ORDER BY rowid)";
constexpr std::string_view kSetContent = R"(SELECT "内容" FROM "个人组套" WHERE rowid = ?1)";

QList<CatalogueEntry> entries(Statement&& st)
{
    QList<CatalogueEntry> list;
    while (st.next())
        list.append({st.integer(0), st.text(1)});
    // A statement that fails half-way lists nothing rather than a part that looks complete.
    if (!st.ok())
        list.clear();
    return list;
}

// The names are moved, not shared: sharing would touch the count of every name listed.
QList<CatalogueEntry> entriesOf(std::vector<DrugIndex::Match>&& matches)
{
    QList<CatalogueEntry> list;
    list.reserve(qsizetype(matches.size()));
    for (DrugIndex::Match& match : matches)
        list.append({match.rowId, std::move(match.name)});
    return list;
}

}  // namespace

QList<CatalogueEntry> DrugQueries::drugsOfCategory(const QString& caption) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return entriesOf(index->containingCategory(caption, true));
    Statement st = m_settings->prepare(kDrugsOfCategory);
    st.bindAll(likeContains(caption));
    return entries(std::move(st));
}

QList<CatalogueEntry> DrugQueries::setsOfCategory(const QString& caption) const
{
    if (!m_settings)
        return {};
    Statement st = m_settings->prepare(kSetsOfCategory);
    st.bindAll(likeContains(caption));
    return entries(std::move(st));
}

QList<CatalogueEntry> DrugQueries::searchDrugs(const QString& typed, const QString& caption) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return entriesOf(index->search(typed, caption, kSearchLimit));
    if (caption.isEmpty()) {
        Statement st = m_settings->prepare(kSearchDrugs);
        st.bindAll(likeContains(typed), kSearchLimit);
        return entries(std::move(st));
    }
    Statement st = m_settings->prepare(kSearchDrugsOfCategory);
    st.bindAll(likeContains(typed), likeContains(caption), kSearchLimit);
    return entries(std::move(st));
}

QList<CatalogueEntry> DrugQueries::everyDrugWithCode(const QString& typed) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return entriesOf(index->search(typed, QString(), std::numeric_limits<int>::max()));
    // A negative limit is none.
    Statement st = m_settings->prepare(kSearchDrugs);
    st.bindAll(likeContains(typed), -1);
    return entries(std::move(st));
}

QList<CatalogueEntry> DrugQueries::searchSets(const QString& typed, const QString& caption) const
{
    if (!m_settings)
        return {};
    Statement st = m_settings->prepare(kSearchSets);
    st.bindAll(likeContains(typed), likeContains(caption));
    return entries(std::move(st));
}

std::optional<QString> DrugQueries::setContent(qint64 rowId) const
{
    if (!m_settings)
        return std::nullopt;
    Statement st = m_settings->prepare(kSetContent);
    st.bindAll(rowId);
    if (!st.next())
        return std::nullopt;
    return st.text(0);
}

QList<NamedQuery> DrugQueries::queries()
{
    using T = NamedQuery::Target;
    return {{"drugs of a category", kDrugsOfCategory, T::Settings},
            {"sets of a category", kSetsOfCategory, T::Settings},
            {"drug search", kSearchDrugs, T::Settings},
            {"drug search in a category", kSearchDrugsOfCategory, T::Settings},
            {"set search", kSearchSets, T::Settings},
            {"set content", kSetContent, T::Settings}};
}

}  // namespace qelvaro
