#pragma once

#include "HeadingFields.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

namespace qelvaro {

inline const QString kDefaultKind = QStringLiteral("普通");
inline const QString kDefaultTitle = QStringLiteral("普通处方笺");

// The values of the prescription in the editor, as the record store reads and writes them.
// Multi-line texts hold "\n" between lines here; the store writes them with CR LF.
struct Prescription {
    std::array<QString, kHeadingFieldCount> fields;  // indexed by headingIndex(HeadingField)
    QString title = kDefaultTitle;
    QString kind = kDefaultKind;
    QString body;           // the prescription body
    QString injectionCard;  // the injection-card text kept with it
    QString history;        // the history record
    QString key;            // the record key "yyyy-MM-dd HH:mm:ss"

    const QString& field(HeadingField f) const { return fields[headingIndex(f)]; }

    bool operator==(const Prescription&) const = default;
};

// Characters as the schema and the user count them: one outside the BMP is one, not two.
qsizetype characterCount(const QString& text);

// The sheet title that goes with a prescription kind; the default title for an unknown kind.
QString titleOfKind(const QString& kind);

// Record key of a prescription begun at this time: "yyyy-MM-dd HH:mm:ss".
QString recordKey(const QDateTime& time);
// The case number a new prescription gets: "yyyyMMddHHmmss".
QString caseNumber(const QDateTime& time);

// A number as the age and birth-year rules read it: an optional sign, digits with an optional
// decimal part (".5" and "5." included), blanks around it allowed. Anything else has no value.
std::optional<double> readPlainNumber(const QString& text);

// The birth year kept for a patient: the age with every 岁, Y and y removed, 0 when what is left
// is not a number, subtracted from the current year and written as the shortest decimal.
QString birthYear(const QString& age, int currentYear);

// The patient register's search key: the name as typed, its pinyin code, the birth year.
QString patientKey(const QString& name, const QString& birthYear);

// Text of a record-list item: name "[" sex "," age "," date "]".
QString recordListItemText(const QString& name, const QString& sex, const QString& age,
                           const QString& date);

// A typed visit date: year-month-day with "-" or "/" (the same separator twice), a four-digit
// year, a real calendar date; blanks around it are ignored. No value for anything else.
std::optional<QDate> parseVisitDate(const QString& text);

// The visit date as stored and shown: "yyyy-MM-dd".
QString isoDate(const QDate& date);

// The same day five years earlier; 29 February gives 28 February.
QDate fiveYearsBefore(const QDate& date);

}  // namespace qelvaro
