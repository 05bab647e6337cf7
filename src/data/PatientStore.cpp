#include "PatientStore.h"

#include "Prescription.h"
#include "SearchIndexes.h"

namespace qelvaro {

namespace {

constexpr std::string_view kUpdatePatient =
    R"(UPDATE "患者信息" SET "序号" = ?1, "姓名" = ?2, "性别" = ?3, "出生年月" = ?4, "费别" = ?5,
       "医疗证号" = ?6, "住址" = ?7, "诊断" = ?8, "过敏史" = ?9, "既往史" = ?10, "电话" = ?11
       WHERE "序号" = ?1)";
constexpr std::string_view kInsertPatient =
    R"(INSERT INTO "患者信息" ("序号", "姓名", "性别", "出生年月", "费别", "医疗证号", "住址",
       "诊断", "过敏史", "既往史", "电话") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11))";

// The containment test has to look at every key: it scans the small index on the key rather than
// the wide rows, and reads whole rows only for the matches.
constexpr std::string_view kPatients =
    R"(SELECT rowid, "姓名", "出生年月" FROM "患者信息"
       WHERE rowid IN (SELECT rowid FROM "患者信息" WHERE "序号" LIKE ?1 ESCAPE '\')
       ORDER BY rowid)";
constexpr std::string_view kTakePatient =
    R"(SELECT "姓名", "性别", "出生年月", "费别", "医疗证号", "住址", "诊断", "过敏史", "既往史",
       "电话" FROM "患者信息" WHERE rowid = ?1)";

}  // namespace

bool PatientStore::write(const Prescription& p, const QString& key, const QString& year)
{
    if (!m_db)
        return false;
    return updateOrInsert(*m_db, m_prepared.get(kUpdatePatient), m_prepared.get(kInsertPatient), [&](Statement& st) {
        st.bindAll(key, p.fields[headingIndex(HeadingField::Name)], p.fields[headingIndex(HeadingField::Sex)], year, p.fields[headingIndex(HeadingField::FeeClass)],
                   p.fields[headingIndex(HeadingField::CardNumber)], p.fields[headingIndex(HeadingField::Address)], p.fields[headingIndex(HeadingField::Diagnosis)],
                   p.fields[headingIndex(HeadingField::Allergy)], p.fields[headingIndex(HeadingField::PastHistory)], p.fields[headingIndex(HeadingField::Telephone)]);
    });
}

void PatientStore::committed(const QString& key)
{
    if (m_indexes)
        m_indexes->patientWritten(key);
}

QList<ListedPatient> PatientStore::matching(const QString& typed) const
{
    QList<ListedPatient> found;
    if (!m_db)
        return found;
    Statement st = m_db->prepare(kPatients);
    st.bind(1, likeContains(typed));
    while (st.next())
        found.append({st.integer(0), st.text(1), st.text(2)});
    return found;
}

std::optional<PatientRow> PatientStore::read(qint64 rowId) const
{
    if (!m_db)
        return std::nullopt;
    Statement st = m_db->prepare(kTakePatient);
    st.bind(1, rowId);
    if (!st.next())
        return std::nullopt;
    return PatientRow{st.text("姓名"),   st.text("性别"),   st.text("出生年月"), st.text("费别"),
                      st.text("医疗证号"), st.text("住址"),   st.text("诊断"),     st.text("过敏史"),
                      st.text("既往史"), st.text("电话")};
}

QList<NamedQuery> PatientStore::lookupQueries()
{
    using enum NamedQuery::Target;
    return {{"patient look-up", kPatients, Records}, {"take patient", kTakePatient, Records}};
}

QList<NamedQuery> PatientStore::writeQueries() { return {{"update patient", kUpdatePatient}}; }

}  // namespace qelvaro
