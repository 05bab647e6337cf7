#pragma once

#include "Database.h"
#include "RecordStore.h"
#include "SearchIndexes.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace qelvaro {

// One row of a suggestion list: the text shown and the row it stands for, so taking the item
// acts on exactly that row.
struct LookupItem {
    qint64 rowId = 0;
    QString text;

    bool operator==(const LookupItem&) const = default;
};

// Heading field index and the text to put there.
using FieldFill = std::pair<int, QString>;

// The word the diagnosis field searches with while typing: the text after its last blank, or
// the whole text when it has none.
QString diagnosisSearchWord(const QString& fieldText);

// The diagnosis field after an item was taken: the last word replaced by the item, the text up
// to and including its last blank kept.
QString takeDiagnosis(const QString& fieldText, const QString& item);

// The age shown for a stored birth year: the current year minus it, rounded; no value when the
// birth year is not a number.
std::optional<QString> patientAge(const QString& storedBirthYear, int currentYear);

// The look-ups behind the heading fields and the history box. Each reads the database fresh,
// with the typed text as a bound, literal containment filter, in the table's stored order unless
// said otherwise. Without a database every list is empty.
class Lookups {
public:
    // With search indexes, the patient look-up reads the patient index once it is loaded.
    Lookups(Database* records, Database* settings, const SearchIndexes* indexes = nullptr)
        : m_records(records), m_settings(settings), m_indexes(indexes)
    {
    }

    // Patients whose register key contains the typed name (nothing for fewer than two
    // characters); item text 姓名 "[" age "岁]". Rows whose birth year is not a number give none.
    QList<LookupItem> patients(const QString& typedName, int currentYear) const;
    // The fields a taken patient fills, in the order they are set: 姓名, 性别, 年龄 (left out when
    // the age cannot be worked out), 费别, 医疗证号, 住址, 诊断, 过敏史, 既往史, 电话.
    std::optional<QList<FieldFill>> takePatient(qint64 rowId, int currentYear) const;

    // Diagnoses while typing (by the last word, in the search key) and on entering the field (by
    // the whole text, in the pinyin code); addresses the same way with the whole text.
    QList<LookupItem> diagnosesWhileTyping(const QString& fieldText) const;
    QList<LookupItem> diagnosesOnEntry(const QString& fieldText) const;
    QList<LookupItem> addressesWhileTyping(const QString& fieldText) const;
    QList<LookupItem> addressesOnEntry(const QString& fieldText) const;

    // History templates whose search key contains the text, by name in GBK order.
    QList<LookupItem> templates(const QString& searchText) const;
    std::optional<QString> templateContent(qint64 rowId) const;

    static QList<NamedQuery> queries();

private:
    Database* m_records;
    Database* m_settings;
    const SearchIndexes* m_indexes = nullptr;
};

}  // namespace qelvaro
