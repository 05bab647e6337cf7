#pragma once

#include "Database.h"
#include "ListedRow.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qelvaro {

class CatalogueChanges;
class DrugIndex;
class SearchIndexes;

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

// --- Drugs (table 药品) ---

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

struct DrugRow {
    QString name;  // 名称 as stored: name, and "\" usage when there is one
    QString code;
    QString category;
};

// Reads and writes of the drug catalogue. Lists are sorted by name (GBK order); searches match the
// typed text literally anywhere in the code, ASCII case ignored. Without a database every list is
// empty and every write is refused. The lists are answered by the drug index once it is loaded,
// by the database until then; every write keeps the drug index current.
class DrugCatalogue {
public:
    DrugCatalogue(Database* settings, CatalogueChanges* changes, SearchIndexes* indexes = nullptr)
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

private:
    QList<ListedRow> list(std::string_view sql, const QString& parameter) const;
    const DrugIndex* index() const;
    Database* m_db;
    CatalogueChanges* m_changes;
    SearchIndexes* m_indexes;
};

// --- Diagnosis and address names (tables 诊断, 地址) ---

enum class NameTable { Diagnoses, Addresses };

// Reads and writes of a name catalogue, in the order the names were added. A search matches the
// typed text literally anywhere in the search key (name followed by code), ASCII case ignored.
class NameCatalogue {
public:
    NameCatalogue(Database* settings, NameTable table, CatalogueChanges* changes);

    QString tableName() const;
    QList<ListedRow> all() const;
    QList<ListedRow> search(const QString& typed) const;
    // Stores the name as typed with the code as it stands; the key is the two joined.
    WriteResult add(const QString& name, const QString& code);
    bool remove(qint64 rowId);

private:
    Database* m_db;
    NameTable m_table;
    CatalogueChanges* m_changes;
};

// --- Personal sets and recipes (个人组套), history templates (病史模板) ---

inline const QString kPersonalSetKind = QStringLiteral("个人组套");
inline const QString kRecipeKind = QStringLiteral("中医验方");

// The content of a set as it is saved: one trailing CR LF dropped when the text is longer than
// the CR LF alone. Works on the stored form (CR LF between lines).
QString dropOneTrailingLineBreak(const QString& stored);

struct TextBlockRow {
    QString name;
    QString code;
    QString content;  // stored form, CR LF between lines
};

// Reads and writes of the sets of one kind, or of the history templates, in stored order.
class TextBlockCatalogue {
public:
    enum class Kind { Sets, Templates };
    TextBlockCatalogue(Database* settings, Kind kind, CatalogueChanges* changes)
        : m_db(settings), m_kind(kind), m_changes(changes)
    {
    }

    QString tableName() const;
    // Sets: the rows of the given kind (个人组套 / 中医验方); templates: every row.
    QList<ListedRow> list(const QString& setKind = QString()) const;
    std::optional<TextBlockRow> read(qint64 rowId) const;
    // Sets store the kind in 分类; templates store the search key 序号 = name followed by code.
    WriteResult save(std::optional<qint64> rowId, const TextBlockRow& row, const QString& setKind = QString());
    bool remove(qint64 rowId);

private:
    Database* m_db;
    Kind m_kind;
    CatalogueChanges* m_changes;
};

}  // namespace qelvaro
