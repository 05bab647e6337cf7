#pragma once

#include "CatalogueRows.h"
#include "Database.h"
#include "ListedRow.h"
#include "NamedQuery.h"
#include "SearchIndex.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace qelvaro {

class CatalogueChanges;
class SearchIndexes;

// The thirteen categories, in the order of the window's buttons and category box.
QStringList drugCategories();
inline constexpr int kDrugCategoryCount = 13;
inline constexpr int kDrugSearchMode = 13;  // the button "全部": the list shows a search

// The drug window's two boxes for a stored entry: the name before the first backslash and the
// usage after it (which may hold further backslashes).
struct DrugEntryText {
    QString name;
    QString usage;

    bool operator==(const DrugEntryText&) const = default;
};
DrugEntryText drugEntryBoxes(const QString& stored);
QString joinDrugEntry(const QString& name, const QString& usage);

// The code stored for a drug: the code box trimmed of blanks, or the name box when the code box
// holds nothing but blanks (then trimmed as well).
QString drugCodeToStore(const QString& codeBox, const QString& nameBox);

// The list mode after a save: the index of the category text when it is one of the thirteen
// (exact, case-sensitive), otherwise the mode as it was.
int categoryAfterSave(const QString& categoryText, int currentMode);

// The drug index's matches as listed rows.
QList<ListedRow> listedRows(std::vector<DrugIndex::Match>&& matches);

struct DrugRow {
    QString name;  // 名称 as stored: name, and "\" usage when there is one
    QString code;
    QString category;
};

// The drug catalogue (table 药品 of the settings database): the only place with SQL on it.
// The drug window's lists are sorted by name (GBK order); searches match the typed text literally
// anywhere in the code, ASCII case ignored. Without a database every list is empty and every
// write is refused. The window's lists are answered by the drug index once it is loaded, by the
// database until then; every write keeps the drug index current.
class DrugStore {
public:
    DrugStore(Database* settings, CatalogueChanges* changes, SearchIndexes* indexes = nullptr)
        : m_db(settings), m_changes(changes), m_indexes(indexes)
    {
    }

    // Drugs whose category contains the caption (the category buttons).
    QList<ListedRow> containingCategory(const QString& caption) const;
    // Drugs whose category is exactly the caption (opening the window).
    QList<ListedRow> ofCategory(const QString& caption) const;
    // Drugs whose code contains the typed text; an empty text lists every drug.
    QList<ListedRow> search(const QString& typed) const;

    std::optional<DrugRow> read(qint64 rowId) const;
    // Adds the row (no rowId) or overwrites the given row.
    WriteResult save(std::optional<qint64> rowId, const DrugRow& row);
    bool remove(qint64 rowId);

    // The drug picker's reads from the database, rows without a name left out; a statement that
    // fails lists nothing. Every drug whose category contains the caption, by name in GBK order:
    QList<ListedRow> pickerCategory(const QString& caption) const;
    // The first `limit` drugs by name whose code contains the typed text (a negative limit is
    // none), of every category or of those whose category contains the caption.
    QList<ListedRow> pickerSearch(const QString& typed, int limit) const;
    QList<ListedRow> pickerSearchInCategory(const QString& typed, const QString& caption, int limit) const;
    // The picker's queries: drugs of a category, drug search, drug search in a category.
    static QList<NamedQuery> pickerQueries();

private:
    QList<ListedRow> list(std::string_view sql, const QString& parameter) const;
    const DrugIndex* index() const;
    Database* m_db;
    CatalogueChanges* m_changes;
    SearchIndexes* m_indexes;
};

}  // namespace qelvaro
