#pragma once

#include "Database.h"
#include "ListedRow.h"
#include "RecordStore.h"
#include "SearchIndexes.h"

#include <QList>
#include <QString>

#include <optional>

namespace qelvaro {

// One entry of the drug picker's list: the text shown and the catalogue row it stands for, so
// taking the entry reads exactly that row.
using CatalogueEntry = ListedRow;

// The drug picker's reads of the catalogues (tables 药品 and 个人组套 of the settings database).
// Category filters match the caption anywhere in 分类; searches match the typed text literally
// anywhere in the pinyin code, ASCII case ignored. Without a database, or when a statement fails,
// a list is empty.
class DrugQueries {
public:
    // The main window's drug searches list no more than this many rows.
    static constexpr int kSearchLimit = 200;

    // With search indexes, the drug search reads the drug index once it is loaded.
    explicit DrugQueries(Database* settings, const SearchIndexes* indexes = nullptr)
        : m_settings(settings), m_indexes(indexes)
    {
    }

    // Every drug of a category, by name in GBK order.
    QList<CatalogueEntry> drugsOfCategory(const QString& caption) const;
    // Every set (or recipe) of a category, in stored order.
    QList<CatalogueEntry> setsOfCategory(const QString& caption) const;
    // The first kSearchLimit drugs by name whose code contains the typed text; with a caption,
    // only drugs of that category, otherwise drugs of every category.
    QList<CatalogueEntry> searchDrugs(const QString& typed, const QString& caption = QString()) const;
    // Every drug by name whose code contains the typed text, with no limit: the infusion card's
    // drop list, which lists every match.
    QList<CatalogueEntry> everyDrugWithCode(const QString& typed) const;
    // Every set (or recipe) of a category whose code contains the typed text, in stored order.
    QList<CatalogueEntry> searchSets(const QString& typed, const QString& caption) const;
    // The text a set or recipe inserts (an empty content reads as the empty text); no value when
    // the row is gone.
    std::optional<QString> setContent(qint64 rowId) const;

    static QList<NamedQuery> queries();

private:
    Database* m_settings;
    const SearchIndexes* m_indexes = nullptr;
};

}  // namespace qelvaro
