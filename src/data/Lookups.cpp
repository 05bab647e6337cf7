#include "Lookups.h"

#include "Prescription.h"
#include "TextRules.h"

#include <QStringList>

#include <cmath>

namespace qelvaro {
namespace {

using P = Prescription;

// The containment test has to look at every key: it scans the small index on the key rather than
// the wide rows, and reads whole rows only for the matches.
constexpr std::string_view kPatients =
    R"(SELECT rowid, "姓名", "出生年月" FROM "患者信息"
       WHERE rowid IN (SELECT rowid FROM "患者信息" WHERE "序号" LIKE ?1 ESCAPE '\')
       ORDER BY rowid)";
constexpr std::string_view kTakePatient =
    R"(SELECT "姓名", "性别", "出生年月", "费别", "医疗证号", "住址", "诊断", "过敏史", "既往史",
       "电话" FROM "患者信息" WHERE rowid = ?1)";

// A null name would show as an empty item that takes nothing: such rows are left out.
constexpr std::string_view kDiagnosesByKey =
    R"(SELECT rowid, "名称" FROM "诊断" WHERE "序号" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kDiagnosesByPinyin =
    R"(SELECT rowid, "名称" FROM "诊断" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kAddressesByKey =
    R"(SELECT rowid, "名称" FROM "地址" WHERE "序号" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";
constexpr std::string_view kAddressesByPinyin =
    R"(SELECT rowid, "名称" FROM "地址" WHERE "拼音" LIKE ?1 ESCAPE '\' AND "名称" IS NOT NULL
       ORDER BY rowid)";

constexpr std::string_view kTemplates =
    R"(SELECT rowid, "名称" FROM "病史模板" WHERE "序号" LIKE ?1 ESCAPE '\'
       ORDER BY "名称" COLLATE GBK, rowid)";
constexpr std::string_view kTemplateContent = R"(SELECT "内容" FROM "病史模板" WHERE rowid = ?1)";

QList<LookupItem> names(Database* db, std::string_view sql, const QString& filter)
{
    QList<LookupItem> items;
    if (!db)
        return items;
    Statement st = db->prepare(sql);
    st.bind(1, likeContains(filter));
    while (st.next())
        items.append({st.integer(0), st.text(1)});
    return items;
}

}  // namespace

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
    Statement st = m_records->prepare(kPatients);
    st.bind(1, likeContains(typedName));
    while (st.next()) {
        if (const std::optional<qint64> age = patientAgeYears(st.text(2), currentYear)) {
            found.m_rows.append({st.integer(0), *age, found.m_names.size()});
            found.m_names.append(st.text(1));
        }
    }
    return found;
}

std::optional<QList<FieldFill>> Lookups::takePatient(qint64 rowId, int currentYear) const
{
    if (!m_records)
        return std::nullopt;
    Statement st = m_records->prepare(kTakePatient);
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    QList<FieldFill> fills{{headingIndex(HeadingField::Name), st.text("姓名")}, {headingIndex(HeadingField::Sex), st.text("性别")}};
    if (const auto age = patientAge(st.text("出生年月"), currentYear))
        fills.append({headingIndex(HeadingField::Age), *age + u'岁'});
    fills.append({{headingIndex(HeadingField::FeeClass), st.text("费别")},
                  {headingIndex(HeadingField::CardNumber), st.text("医疗证号")},
                  {headingIndex(HeadingField::Address), st.text("住址")},
                  {headingIndex(HeadingField::Diagnosis), st.text("诊断")},
                  {headingIndex(HeadingField::Allergy), st.text("过敏史")},
                  {headingIndex(HeadingField::PastHistory), st.text("既往史")},
                  {headingIndex(HeadingField::Telephone), st.text("电话")}});
    return fills;
}

QList<LookupItem> Lookups::diagnosesWhileTyping(const QString& fieldText) const
{
    return names(m_settings, kDiagnosesByKey, diagnosisSearchWord(fieldText));
}

QList<LookupItem> Lookups::diagnosesOnEntry(const QString& fieldText) const
{
    return names(m_settings, kDiagnosesByPinyin, fieldText);
}

QList<LookupItem> Lookups::addressesWhileTyping(const QString& fieldText) const
{
    return names(m_settings, kAddressesByKey, fieldText);
}

QList<LookupItem> Lookups::addressesOnEntry(const QString& fieldText) const
{
    return names(m_settings, kAddressesByPinyin, fieldText);
}

QList<LookupItem> Lookups::templates(const QString& searchText) const
{
    return names(m_settings, kTemplates, searchText);
}

std::optional<QString> Lookups::templateContent(qint64 rowId) const
{
    if (!m_settings)
        return std::nullopt;
    Statement st = m_settings->prepare(kTemplateContent);
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    return splitLines(st.text(0)).join(u'\n');
}

QList<NamedQuery> Lookups::queries()
{
    using enum NamedQuery::Target;
    return {{"patient look-up", kPatients, Records},
            {"take patient", kTakePatient, Records},
            {"diagnoses while typing", kDiagnosesByKey, Settings},
            {"diagnoses on entry", kDiagnosesByPinyin, Settings},
            {"addresses while typing", kAddressesByKey, Settings},
            {"addresses on entry", kAddressesByPinyin, Settings},
            {"history templates", kTemplates, Settings},
            {"template content", kTemplateContent, Settings}};
}

}  // namespace qelvaro
