#include "DrugStore.h"

#include "BodyText.h"
#include "SearchIndexes.h"
#include "TextRules.h"

namespace qelvaro {

namespace {

// Equal names are listed in the order they were added.
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

// The drug picker's reads.
// A row without a name would list as an empty entry that inserts nothing: such rows are left out.
// The searches order equal names as the index on (名称, 拼音, 分类) holds them, so the index serves
// the order, the search stops at its 200th match, and the in-memory drug index lists the same.
// A category lists equal names in the order they were added, as the in-memory index does.
constexpr std::string_view kPickerDrugsOfCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "分类" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kPickerSearchDrugs =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY "名称" COLLATE GBK, "拼音", "分类", rowid LIMIT ?2)";
constexpr std::string_view kPickerSearchDrugsOfCategory =
    R"(SELECT rowid, "名称" FROM "药品" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "分类" LIKE ?2 ESCAPE '\'
       AND "名称" IS NOT NULL ORDER BY "名称" COLLATE GBK, "拼音", "分类", rowid LIMIT ?3)";

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

QList<ListedRow> DrugStore::list(std::string_view sql, const QString& parameter) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(sql);
    st.bind(1, parameter);
    return readList(st);
}

const DrugIndex* DrugStore::index() const
{
    // The index follows the program's own database only.
    return m_indexes && m_db ? m_indexes->drugs() : nullptr;
}

QList<ListedRow> DrugStore::containingCategory(const QString& caption) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->containingCategory(caption));
    return list(kDrugsContainingCategory, likeContains(caption));
}

QList<ListedRow> DrugStore::ofCategory(const QString& caption) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->ofCategory(caption));
    return list(kDrugsOfCategory, caption);
}

QList<ListedRow> DrugStore::search(const QString& typed) const
{
    if (const DrugIndex* drugs = index())
        return listedRows(drugs->withCode(typed));
    return list(kDrugSearch, likeContains(typed));
}

std::optional<DrugRow> DrugStore::read(qint64 rowId) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(kDrugRead);
    st.bind(1, rowId);
    if (!st.next()) {
        // Deleted outside the program: the drug index lets it go, so no list offers it again.
        if (m_indexes && st.ok())
            m_indexes->drugChanged(rowId);
        return std::nullopt;
    }
    return DrugRow{st.text(0), st.text(1), st.text(2)};
}

WriteResult DrugStore::save(std::optional<qint64> rowId, const DrugRow& row)
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
        m_indexes->drugChanged(*result.rowId);
    tellWritten(m_changes, CatalogueTable::Drugs, result);
    return result;
}

bool DrugStore::remove(qint64 rowId)
{
    if (!removeRow(m_db, kDrugDelete, rowId, m_changes, CatalogueTable::Drugs))
        return false;
    if (m_indexes)
        m_indexes->drugChanged(rowId);
    return true;
}

QList<ListedRow> DrugStore::pickerCategory(const QString& caption) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kPickerDrugsOfCategory);
    st.bindAll(likeContains(caption));
    return completeList(std::move(st));
}

QList<ListedRow> DrugStore::pickerSearch(const QString& typed, int limit) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kPickerSearchDrugs);
    st.bindAll(likeContains(typed), limit);
    return completeList(std::move(st));
}

QList<ListedRow> DrugStore::pickerSearchInCategory(const QString& typed, const QString& caption, int limit) const
{
    if (!m_db)
        return {};
    Statement st = m_db->prepare(kPickerSearchDrugsOfCategory);
    st.bindAll(likeContains(typed), likeContains(caption), limit);
    return completeList(std::move(st));
}

QList<NamedQuery> DrugStore::pickerQueries()
{
    using T = NamedQuery::Target;
    return {{"drugs of a category", kPickerDrugsOfCategory, T::Settings},
            {"drug search", kPickerSearchDrugs, T::Settings},
            {"drug search in a category", kPickerSearchDrugsOfCategory, T::Settings}};
}

}  // namespace qelvaro
