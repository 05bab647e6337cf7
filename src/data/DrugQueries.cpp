#include "DrugQueries.h"

#include "DrugStore.h"
#include "TextBlockStore.h"

#include <limits>

namespace qelvaro {
namespace {

DrugStore drugStore(Database* settings) { return DrugStore(settings, nullptr); }
TextBlockStore setStore(Database* settings) { return TextBlockStore(settings, TextBlockStore::Kind::Sets, nullptr); }

}  // namespace

QList<CatalogueEntry> DrugQueries::drugsOfCategory(const QString& caption) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return listedRows(index->containingCategory(caption, true));
    return drugStore(m_settings).pickerCategory(caption);
}

QList<CatalogueEntry> DrugQueries::setsOfCategory(const QString& caption) const
{
    return setStore(m_settings).pickerSets(caption);
}

QList<CatalogueEntry> DrugQueries::searchDrugs(const QString& typed, const QString& caption) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return listedRows(index->search(typed, caption, kSearchLimit));
    if (caption.isEmpty())
        return drugStore(m_settings).pickerSearch(typed, kSearchLimit);
    return drugStore(m_settings).pickerSearchInCategory(typed, caption, kSearchLimit);
}

QList<CatalogueEntry> DrugQueries::everyDrugWithCode(const QString& typed) const
{
    if (!m_settings)
        return {};
    if (const DrugIndex* index = m_indexes ? m_indexes->drugs() : nullptr)
        return listedRows(index->search(typed, QString(), std::numeric_limits<int>::max()));
    // A negative limit is none.
    return drugStore(m_settings).pickerSearch(typed, -1);
}

QList<CatalogueEntry> DrugQueries::searchSets(const QString& typed, const QString& caption) const
{
    return setStore(m_settings).pickerSearch(typed, caption);
}

std::optional<QString> DrugQueries::setContent(qint64 rowId) const
{
    return setStore(m_settings).setContent(rowId);
}

QList<NamedQuery> DrugQueries::queries()
{
    return DrugStore::pickerQueries() + TextBlockStore::pickerQueries();
}

}  // namespace qelvaro
