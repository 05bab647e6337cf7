#include "DataStore.h"
#include "ListedTexts.h"
#include "Lookups.h"
#include "Prescription.h"
#include "StoreFixture.h"

#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

using P = Prescription;

namespace {
constexpr int kYear = 2016;
}

class LookupsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_fixture;
    DataStore* m_store = nullptr;
    std::unique_ptr<Lookups> m_lookups;

    qint64 insertPatient(const QString& name, const QString& birthYear, const QVariant& feeClass = u"自费"_s)
    {
        Statement st = m_store->records()->prepare(
            R"(INSERT INTO "患者信息" ("序号", "出生年月", "姓名", "性别", "费别", "医疗证号", "诊断",
               "住址", "过敏史", "既往史", "电话") VALUES (?, ?, ?, '女', ?, ?, '咳嗽', '东岭村', '无', '无', ?))");
        st.bindAll(name + pinyinKeyPart(name) + birthYear, birthYear, name, feeClass, u"card-"_s + name,
                   u"tel-"_s + name);
        return st.run() ? m_store->records()->lastInsertRowId() : -1;
    }
    static QString pinyinKeyPart(const QString& name) { return patientKey(name, QString()).mid(name.size()); }

    void replaceNames(const char* table, const QList<std::pair<QString, QString>>& namesAndPinyin)
    {
        Database& db = *m_store->settings();
        QVERIFY(db.exec(QStringLiteral("DELETE FROM \"%1\"").arg(QString::fromUtf8(table)).toStdString()));
        Statement st = db.prepare(QStringLiteral("INSERT INTO \"%1\" (\"名称\", \"拼音\", \"序号\") VALUES (?, ?, ?)")
                                      .arg(QString::fromUtf8(table))
                                      .toStdString());
        for (const auto& [name, pinyin] : namesAndPinyin)
            QVERIFY(st.bindAll(name, pinyin, name + pinyin).run());
    }

    static QStringList texts(const QList<LookupItem>& items) { return test::texts(items); }
    static QStringList texts(const PatientMatches& matches)
    {
        QStringList result;
        for (qsizetype i = 0; i < matches.size(); ++i)
            result << patientItemText(matches.at(i));
        return result;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        QVERIFY(m_fixture->opened);
        m_store = &m_fixture->store;
        m_lookups = std::make_unique<Lookups>(m_store->records(), m_store->settings());
    }
    void cleanup()
    {
        m_lookups.reset();
        m_store = nullptr;
        m_fixture.reset();
    }

    void takingAPatientTakesTheRowShown()
    {
        const qint64 first = insertPatient(u"张三"_s, u"1980"_s);
        insertPatient(u"张三丰"_s, u"abc"_s);  // no age: listed nowhere
        const qint64 third = insertPatient(u"张三妹"_s, u"1990"_s, QVariant());

        const PatientMatches items = m_lookups->patients(u"张三"_s, kYear);
        QCOMPARE(items.toList(), (QList<PatientMatch>{{first, u"张三"_s, 36}, {third, u"张三妹"_s, 26}}));

        const auto fills = m_lookups->takePatient(items.rowId(1), kYear);
        QVERIFY(fills);
        const QList<FieldFill> expected{{headingIndex(HeadingField::Name), u"张三妹"_s},        {headingIndex(HeadingField::Sex), u"女"_s},
                                        {headingIndex(HeadingField::Age), u"26岁"_s},           {headingIndex(HeadingField::FeeClass), QString()},
                                        {headingIndex(HeadingField::CardNumber), u"card-张三妹"_s}, {headingIndex(HeadingField::Address), u"东岭村"_s},
                                        {headingIndex(HeadingField::Diagnosis), u"咳嗽"_s},       {headingIndex(HeadingField::Allergy), u"无"_s},
                                        {headingIndex(HeadingField::PastHistory), u"无"_s},       {headingIndex(HeadingField::Telephone), u"tel-张三妹"_s}};
        QCOMPARE(*fills, expected);
    }

    void takingAPatientWithoutAgeLeavesTheAgeField()
    {
        const qint64 row = insertPatient(u"张三丰"_s, u"abc"_s);
        const auto fills = m_lookups->takePatient(row, kYear);
        QVERIFY(fills);
        for (const FieldFill& fill : *fills)
            QVERIFY(fill.first != headingIndex(HeadingField::Age));
        QVERIFY(!m_lookups->takePatient(row + 100, kYear));
    }

    void patientSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("one character asks nothing") << u"王"_s << QStringList{};
        QTest::newRow("pinyin initials") << u"wx"_s << QStringList{u"王小明[26岁]"_s, u"王晓[36岁]"_s};
        QTest::newRow("capitals find the lower-case code") << u"WX"_s << QStringList{u"王小明[26岁]"_s, u"王晓[36岁]"_s};
        QTest::newRow("birth year") << u"1980"_s << QStringList{u"王晓[36岁]"_s};
        QTest::newRow("percent is literal") << u"%王"_s << QStringList{u"5%王[26岁]"_s};
        QTest::newRow("fractional birth year rounds") << u"李四"_s << QStringList{u"李四[27岁]"_s};
        QTest::newRow("a capital in the name, typed as stored") << u"张A"_s << QStringList{u"张A[26岁]"_s};
        QTest::newRow("a capital in the name, typed small") << u"张a"_s << QStringList{u"张A[26岁]"_s};
    }
    void patientSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, items);
        insertPatient(u"王小明"_s, u"1990"_s);
        insertPatient(u"王晓"_s, u"1980"_s);
        insertPatient(u"5%王"_s, u"1990"_s);
        insertPatient(u"李四"_s, u"1989.4"_s);
        insertPatient(u"张A"_s, u"1990"_s);
        QCOMPARE(texts(m_lookups->patients(typed, kYear)), items);
    }

    void diagnosisWord_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("taken");  // after taking 糖尿病
        QTest::newRow("one word") << u"糖"_s << u"糖"_s << u"糖尿病"_s;
        QTest::newRow("second word") << u"高血压 糖"_s << u"糖"_s << u"高血压 糖尿病"_s;
        QTest::newRow("ends in a blank") << u"高血压 "_s << QString() << u"高血压 糖尿病"_s;
        QTest::newRow("two blanks") << u"高血压  tn"_s << u"tn"_s << u"高血压  糖尿病"_s;
        QTest::newRow("ideographic space is no blank") << u"高血压　糖"_s << u"高血压　糖"_s << u"糖尿病"_s;
    }
    void diagnosisWord()
    {
        QFETCH(QString, field);
        QFETCH(QString, word);
        QFETCH(QString, taken);
        QCOMPARE(diagnosisSearchWord(field), word);
        QCOMPARE(takeDiagnosis(field, u"糖尿病"_s), taken);
    }

    void nameLookups_data()
    {
        QTest::addColumn<QString>("lookup");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QStringList>("items");
        const QStringList all{u"高血压"_s, u"糖尿病"_s, u"高血糖"_s};
        QTest::newRow("typing: last word, name or initials") << u"diagnosis typing"_s << u"高血压 gx"_s
                                                            << QStringList{u"高血压"_s, u"高血糖"_s};
        QTest::newRow("typing: ends in a blank lists all") << u"diagnosis typing"_s << u"高血压 "_s << all;
        QTest::newRow("entry: whole text in the initials") << u"diagnosis entry"_s << u"gx"_s
                                                          << QStringList{u"高血压"_s, u"高血糖"_s};
        QTest::newRow("entry: names are not searched") << u"diagnosis entry"_s << u"高"_s << QStringList{};
        QTest::newRow("entry: empty lists all") << u"diagnosis entry"_s << QString() << all;
        QTest::newRow("address typing") << u"address typing"_s << u"东"_s << QStringList{u"东岭村"_s};
        QTest::newRow("address typing, whole text") << u"address typing"_s << u"东 d"_s << QStringList{};
        QTest::newRow("address entry") << u"address entry"_s << u"x"_s << QStringList{u"西山镇"_s};
    }
    void nameLookups()
    {
        QFETCH(QString, lookup);
        QFETCH(QString, field);
        QFETCH(QStringList, items);
        replaceNames("诊断", {{u"高血压"_s, u"gxy"_s}, {u"糖尿病"_s, u"tnb"_s}, {u"高血糖"_s, u"gxt"_s}});
        replaceNames("地址", {{u"东岭村"_s, u"dlc"_s}, {u"西山镇"_s, u"xsz"_s}});
        QList<LookupItem> found;
        if (lookup == u"diagnosis typing")
            found = m_lookups->diagnosesWhileTyping(field);
        else if (lookup == u"diagnosis entry")
            found = m_lookups->diagnosesOnEntry(field);
        else if (lookup == u"address typing")
            found = m_lookups->addressesWhileTyping(field);
        else
            found = m_lookups->addressesOnEntry(field);
        QCOMPARE(texts(found), items);
    }

    void templatesSortByNameAndKeepTheirRows()
    {
        Database& db = *m_store->settings();
        QVERIFY(db.exec(R"(DELETE FROM "病史模板")"));
        Statement st = db.prepare(R"(INSERT INTO "病史模板" ("名称", "内容", "序号") VALUES (?, ?, ?))");
        const QList<std::array<QString, 3>> rows{{u"上呼吸道感染"_s, u"上感"_s, u"上呼吸道感染shxdgr"_s},
                                                 {u"高血压病"_s, u"主诉：头晕。\r\n查体：BP 160/100"_s, u"高血压病gxyb"_s},
                                                 {u"阿尔茨海默病"_s, QString(), u"阿尔茨海默病aechmb"_s}};
        for (const auto& row : rows)
            QVERIFY(st.bindAll(row[0], row[1], row[2]).run());

        const QList<LookupItem> all = m_lookups->templates(QString());
        QCOMPARE(texts(all), (QStringList{u"阿尔茨海默病"_s, u"高血压病"_s, u"上呼吸道感染"_s}));
        QCOMPARE(m_lookups->templateContent(all[1].rowId), u"主诉：头晕。\n查体：BP 160/100"_s);
        QCOMPARE(texts(m_lookups->templates(u"b"_s)), (QStringList{u"阿尔茨海默病"_s, u"高血压病"_s}));
    }
};

QTEST_GUILESS_MAIN(LookupsTest)
#include "LookupsTest.moc"
