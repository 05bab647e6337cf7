#include "Lookups.h"

#include "NameStore.h"
#include "PatientStore.h"
#include "Prescription.h"
#include "TextBlockStore.h"
#include "TextRules.h"

#include <QStringList>

#include <cmath>

namespace qelvaro {

QString diagnosisSearchWord(const QString& fieldText)
{
    const qsizetype blank = fieldText.lastIndexOf(u' ');
    return blank < 0 ? fieldText : fieldText.mid(blank + 1);
}

QString takeDiagnosis(const QString& fieldText, const QString& item)
{
    const qsizetype blank = fieldText.lastIndexOf(u' ');
    return blank < 0 ? item : fieldText.left(blank + 1) + item;
}

std::optional<qint64> patientAgeYears(const QString& storedBirthYear, int currentYear)
{
    // The birth year as the program writes it, read without the general number reading.
    if (const std::optional<int> year = plainDigits(storedBirthYear))
        return currentYear - *year;
    const std::optional<double> year = readPlainNumber(storedBirthYear);
    if (!year)
        return std::nullopt;
    const double age = std::round(double(currentYear) - *year);
    // A birth year no one can have been given would not fit a whole number.
    if (std::fabs(age) > 1e15)
        return std::nullopt;
    return qint64(age);
}

std::optional<QString> patientAge(const QString& storedBirthYear, int currentYear)
{
    if (const std::optional<qint64> age = patientAgeYears(storedBirthYear, currentYear))
        return QString::number(*age);
    return std::nullopt;
}

QString patientItemText(const PatientMatch& match)
{
    const QString age = QString::number(match.age);
    QString text;
    text.reserve(match.name.size() + age.size() + 3);
    text.append(match.name).append(u'[').append(age).append(QStringLiteral("岁]"));
    return text;
}

QList<PatientMatch> PatientMatches::toList() const
{
    QList<PatientMatch> list;
    list.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        list.append(at(i));
    return list;
}

PatientMatches Lookups::patients(const QString& typedName, int currentYear) const
{
    PatientMatches found;
    if (!m_records || characterCount(typedName) < 2)
        return found;
    if (const PatientIndex* index = m_indexes ? m_indexes->patients() : nullptr) {
        const std::vector<int> positions = index->search(typedName);
        found.m_names = index->names();
        found.m_rows.reserve(qsizetype(positions.size()));
        for (const int position : positions) {
            // The plain birth years were read with the index: most rows' texts stay unread.
            const std::optional<int> plain = index->plainBirthYear(position);
            const std::optional<qint64> age = plain ? std::optional<qint64>(currentYear - *plain)
                                                    : patientAgeYears(index->birthYear(position), currentYear);
            if (age)
                found.m_rows.append({index->rowId(position), *age, position});
        }
        return found;
    }
    for (const ListedPatient& patient : PatientStore(m_records).matching(typedName)) {
        if (const std::optional<qint64> age = patientAgeYears(patient.birthYear, currentYear)) {
            found.m_rows.append({patient.rowId, *age, found.m_names.size()});
            found.m_names.append(patient.name);
        }
    }
    return found;
}

std::optional<QList<FieldFill>> Lookups::takePatient(qint64 rowId, int currentYear) const
{
    const std::optional<PatientRow> row = PatientStore(m_records).read(rowId);
    if (!row)
        return std::nullopt;
    QList<FieldFill> fills{{headingIndex(HeadingField::Name), row->name}, {headingIndex(HeadingField::Sex), row->sex}};
    if (const auto age = patientAge(row->birthYear, currentYear))
        fills.append({headingIndex(HeadingField::Age), *age + u'岁'});
    fills.append({{headingIndex(HeadingField::FeeClass), row->feeClass},
                  {headingIndex(HeadingField::CardNumber), row->cardNumber},
                  {headingIndex(HeadingField::Address), row->address},
                  {headingIndex(HeadingField::Diagnosis), row->diagnosis},
                  {headingIndex(HeadingField::Allergy), row->allergy},
                  {headingIndex(HeadingField::PastHistory), row->pastHistory},
                  {headingIndex(HeadingField::Telephone), row->telephone}});
    return fills;
}

QList<LookupItem> Lookups::diagnosesWhileTyping(const QString& fieldText) const
{
    return NameStore(m_settings, NameTable::Diagnoses, nullptr).lookupByKey(diagnosisSearchWord(fieldText));
}

QList<LookupItem> Lookups::diagnosesOnEntry(const QString& fieldText) const
{
    return NameStore(m_settings, NameTable::Diagnoses, nullptr).lookupByPinyin(fieldText);
}

QList<LookupItem> Lookups::addressesWhileTyping(const QString& fieldText) const
{
    return NameStore(m_settings, NameTable::Addresses, nullptr).lookupByKey(fieldText);
}

QList<LookupItem> Lookups::addressesOnEntry(const QString& fieldText) const
{
    return NameStore(m_settings, NameTable::Addresses, nullptr).lookupByPinyin(fieldText);
}

QList<LookupItem> Lookups::templates(const QString& searchText) const
{
    return TextBlockStore(m_settings, TextBlockStore::Kind::Templates, nullptr).lookupTemplates(searchText);
}

std::optional<QString> Lookups::templateContent(qint64 rowId) const
{
    const std::optional<QString> content =
        TextBlockStore(m_settings, TextBlockStore::Kind::Templates, nullptr).templateContent(rowId);
    if (!content)
        return std::nullopt;
    return splitLines(*content).join(u'\n');
}

QList<NamedQuery> Lookups::queries()
{
    return PatientStore::lookupQueries() + NameStore::lookupQueries() + TextBlockStore::lookupQueries();
}

}  // namespace qelvaro
