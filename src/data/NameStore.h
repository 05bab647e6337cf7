#pragma once

#include "CatalogueRows.h"
#include "Database.h"
#include "ListedRow.h"
#include "NamedQuery.h"

#include <QList>
#include <QString>

namespace qelvaro {

class CatalogueChanges;

enum class NameTable { Diagnoses, Addresses };

// A name catalogue (table 诊断 or 地址 of the settings database): the only place with SQL on the
// two. The window lists the names in the order they were added; its search matches the typed
// text literally anywhere in the search key (name followed by code), ASCII case ignored.
class NameStore {
public:
    NameStore(Database* settings, NameTable table, CatalogueChanges* changes);

    CatalogueTable table() const;
    QList<ListedRow> all() const;
    QList<ListedRow> search(const QString& typed) const;
    // Stores the name as typed with the code as it stands; the key is the two joined.
    WriteResult add(const QString& name, const QString& code);
    bool remove(qint64 rowId);

    // The heading fields' look-ups, rows without a name left out, in stored order: the names
    // whose search key (序号), or whose pinyin code (拼音), contains the text.
    QList<ListedRow> lookupByKey(const QString& text) const;
    QList<ListedRow> lookupByPinyin(const QString& text) const;
    // The look-ups' queries: diagnoses while typing and on entry, addresses the same.
    static QList<NamedQuery> lookupQueries();

private:
    Database* m_db;
    NameTable m_table;
    CatalogueChanges* m_changes;
};

}  // namespace qelvaro
