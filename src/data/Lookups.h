#pragma once

#include "Database.h"
#include "ListedRow.h"
#include "RecordStore.h"
#include "SearchIndexes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace qelvaro {

// One row of a suggestion list: the text shown and the row it stands for, so taking the item
// acts on exactly that row.
using LookupItem = ListedRow;

// A patient the look-up found, and the text of its item: 姓名 "[" age "岁]".
struct PatientMatch {
    qint64 rowId = 0;
    QString name;
    qint64 age = 0;

    bool operator==(const PatientMatch&) const = default;
};
QString patientItemText(const PatientMatch& match);

// The patients a look-up found, in order. A short search text can find nearly every patient, so
// nothing is made per patient that is not needed before it is shown: the names are the index's
// own list, shared rather than copied, and item texts are built from at().
class PatientMatches {
public:
    qsizetype size() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    qint64 rowId(qsizetype i) const { return m_rows[i].rowId; }
    PatientMatch at(qsizetype i) const
    {
        const Row& row = m_rows[i];
        return {row.rowId, m_names[row.name], row.age};
    }
    QList<PatientMatch> toList() const;

private:
    friend class Lookups;
    struct Row {
        qint64 rowId;
        qint64 age;
        qsizetype name;  // in m_names
    };
    QStringList m_names;
    QList<Row> m_rows;
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
// birth year is not a number. patientAgeYears gives the same as a number.
std::optional<QString> patientAge(const QString& storedBirthYear, int currentYear);
std::optional<qint64> patientAgeYears(const QString& storedBirthYear, int currentYear);

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
    // characters), by rowid. Rows whose birth year is not a number give none.
    PatientMatches patients(const QString& typedName, int currentYear) const;
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
