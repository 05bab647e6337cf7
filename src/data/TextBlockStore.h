#pragma once

#include "CatalogueRows.h"
#include "Database.h"
#include "ListedRow.h"
#include "NamedQuery.h"

#include <QList>
#include <QString>

#include <optional>

namespace qelvaro {

class CatalogueChanges;

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

// The personal sets and recipes (table 个人组套) or the history templates (table 病史模板) of the
// settings database: the only place with SQL on the two. The window's rows are in stored order.
class TextBlockStore {
public:
    enum class Kind { Sets, Templates };
    TextBlockStore(Database* settings, Kind kind, CatalogueChanges* changes)
        : m_db(settings), m_kind(kind), m_changes(changes)
    {
    }

    CatalogueTable table() const;
    // Sets: the rows of the given kind (个人组套 / 中医验方); templates: every row.
    QList<ListedRow> list(const QString& setKind = QString()) const;
    std::optional<TextBlockRow> read(qint64 rowId) const;
    // Sets store the kind in 分类; templates store the search key 序号 = name followed by code.
    WriteResult save(std::optional<qint64> rowId, const TextBlockRow& row, const QString& setKind = QString());
    bool remove(qint64 rowId);

    // The drug picker's reads of the sets, in stored order; a statement that fails lists nothing.
    // Every set (or recipe) whose category contains the caption, and of those the ones whose code
    // contains the typed text; the stored content of one, no value when the row is gone.
    QList<ListedRow> pickerSets(const QString& caption) const;
    QList<ListedRow> pickerSearch(const QString& typed, const QString& caption) const;
    std::optional<QString> setContent(qint64 rowId) const;
    // The picker's queries: sets of a category, set search, set content.
    static QList<NamedQuery> pickerQueries();

    // The history box's reads of the templates: those whose search key contains the text, by
    // name in GBK order; the stored content of one, no value when the row is gone.
    QList<ListedRow> lookupTemplates(const QString& searchText) const;
    std::optional<QString> templateContent(qint64 rowId) const;
    // The look-ups' queries: history templates, template content.
    static QList<NamedQuery> lookupQueries();

private:
    Database* m_db;
    Kind m_kind;
    CatalogueChanges* m_changes;
};

}  // namespace qelvaro
