#include "DataStore.h"
#include "Lookups.h"
#include "Prescription.h"
#include "RecordStore.h"
#include "StoreFixture.h"

#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

using P = Prescription;

namespace {

constexpr int kYear = 2016;

Prescription filledPrescription(const QString& key)
{
    Prescription p;
    const QStringList values{u"王小明"_s, u"男"_s,  u"25岁"_s, u"自费"_s, u"20161014093015"_s,
                             u"内科"_s,   u"东岭村"_s, u"13500000000"_s, u"上呼吸道感染 咳嗽"_s,
                             u"2016-10-14"_s, u"林医生"_s, u"周药师"_s, u"陈药师"_s,
                             u"86.5"_s,   u"15"_s,   u"青霉素"_s, u"慢性胃炎"_s};
    for (int i = 0; i < kHeadingFieldCount; ++i)
        p.fields[i] = values[i];
    p.kind = u"中医"_s;
    p.title = u"中医处方笺"_s;
    p.body = u"复方甘草片  100片\n    用法：3片 tid\n"_s;
    p.injectionCard = u"0.9%氯化钠注射液  100ml\n    用法：iv/gtt qd"_s;
    p.history = u"主诉：咳嗽3天。\n现病史：O'Brien \"引号\" 50%_"_s;
    p.key = key;
    return p;
}

}  // namespace

class RecordStoreTest : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_fixture;
    DataStore* m_store = nullptr;
    std::unique_ptr<RecordStore> m_records;

    Database& db() { return *m_store->records(); }

    qint64 count(const char* table, const QString& where = QString(), const QString& value = QString())
    {
        Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM \"%1\" %2")
                                        .arg(QString::fromUtf8(table), where)
                                        .toStdString());
        if (!value.isNull())
            st.bind(1, value);
        return st.next() ? st.integer(0) : -1;
    }

    QString rawColumn(const QString& key, const char* column)
    {
        Statement st = db().prepare(
            QStringLiteral("SELECT \"%1\" FROM \"档案\" WHERE \"名称\" = ?").arg(QString::fromUtf8(column)).toStdString());
        st.bind(1, key);
        return st.next() ? (st.isNull(0) ? u"<null>"_s : st.text(0)) : u"<no row>"_s;
    }

    void insertRaw(const QString& key, const QString& name, const QString& date)
    {
        Statement st = db().prepare(R"(INSERT INTO "档案" ("0", "1", "2", "9", "名称") VALUES (?, '男', '25岁', ?, ?))");
        QVERIFY(st.bindAll(name, date, key).run());
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        QVERIFY(m_fixture->opened);
        m_store = &m_fixture->store;
        m_records = std::make_unique<RecordStore>(m_store->records());
    }
    void cleanup()
    {
        m_records.reset();
        m_store = nullptr;
        m_fixture.reset();
    }

    void savedPrescriptionReopensWithEveryValue()
    {
        Prescription p = filledPrescription(u"2016-10-14 09:30:15"_s);
        p.fields[headingIndex(HeadingField::Date)] = u" 2016/10/4 "_s;
        const SaveResult saved = m_records->save(p, kYear);
        QVERIFY2(saved.stored, qPrintable(saved.problem));

        Prescription expected = p;
        expected.fields[headingIndex(HeadingField::Date)] = u"2016-10-04"_s;
        QCOMPARE(m_records->openByKey(p.key), expected);
        const RecordList listed = m_records->list(u"王小明"_s, QDate(2016, 10, 1), QDate(2016, 10, 31));
        QCOMPARE(listed.rowIds.size(), 1);
        QCOMPARE(m_records->open(listed.rowIds[0]), expected);

        // Stored form: ISO date, CR LF between lines.
        QCOMPARE(rawColumn(p.key, "9"), u"2016-10-04"_s);
        QCOMPARE(rawColumn(p.key, "T1"), u"复方甘草片  100片\r\n    用法：3片 tid\r\n"_s);
        QCOMPARE(rawColumn(p.key, "T4"), u"<null>"_s);
    }

    void savingAgainOverwritesAndARenewedKeyAddsARow()
    {
        const qint64 before = count("档案");
        Prescription first = filledPrescription(u"2016-10-14 09:30:15"_s);
        QVERIFY(m_records->save(first, kYear));
        first.body = u"阿莫西林胶囊  0.25g*24"_s;
        QVERIFY(m_records->save(first, kYear));
        QCOMPARE(count("档案"), before + 1);
        QCOMPARE(m_records->openByKey(first.key).value_or(Prescription()).body, first.body);

        Prescription renewed = first;
        renewed.key = u"2016-10-20 08:00:00"_s;
        renewed.fields[headingIndex(HeadingField::Date)] = u"2016-10-20"_s;
        renewed.fields[headingIndex(HeadingField::DrugFee)].clear();
        renewed.fields[headingIndex(HeadingField::OtherFee)].clear();
        QVERIFY(m_records->save(renewed, kYear));
        QCOMPARE(count("档案"), before + 2);
        QCOMPARE(m_records->openByKey(first.key), first);
        QCOMPARE(m_records->openByKey(renewed.key), renewed);
    }

    void saveLeavesTheColumnsItDoesNotWrite()
    {
        const Prescription p = filledPrescription(u"2016-10-14 09:30:15"_s);
        QVERIFY(m_records->save(p, kYear));
        QVERIFY(db().exec(R"(UPDATE "档案" SET "T4" = 'h@', "T5" = 'n@', "T6" = 's@', "T7" = 't@',
                             "T8" = 'x@', "17" = 'r', "T9" = 'm')"));
        QVERIFY(m_records->save(p, kYear));
        const QList<std::pair<const char*, QString>> kept{{"T4", u"h@"_s}, {"T5", u"n@"_s}, {"T6", u"s@"_s},
                                                          {"T7", u"t@"_s}, {"T8", u"x@"_s}, {"17", u"r"_s},
                                                          {"T9", u"m"_s}};
        for (const auto& [column, value] : kept)
            QCOMPARE(rawColumn(p.key, column), value);
    }

    void refusedSaveStoresNothing_data()
    {
        QTest::addColumn<int>("field");  // -1 title, -3 body
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("problem");  // empty: stored
        const QString wide = QString::fromUcs4(U"𠀀").repeated(kShortColumnWidth);
        QTest::newRow("empty name") << headingIndex(HeadingField::Name) << QString() << kMissingNameMessage;
        QTest::newRow("blank name is a name") << headingIndex(HeadingField::Name) << u" "_s << QString();
        QTest::newRow("empty date") << headingIndex(HeadingField::Date) << QString() << kBadDateMessage;
        QTest::newRow("no such day") << headingIndex(HeadingField::Date) << u"2016-02-30"_s << kBadDateMessage;
        QTest::newRow("trailing text") << headingIndex(HeadingField::Date) << u"2016-01-03日"_s << kBadDateMessage;
        QTest::newRow("diagnosis too long") << headingIndex(HeadingField::Diagnosis) << QString(51, u'炎') << tooLongMessage(u"诊断"_s);
        QTest::newRow("50 characters outside the BMP fit") << headingIndex(HeadingField::Diagnosis) << wide << QString();
        QTest::newRow("title too long") << -1 << QString(51, u'笺') << tooLongMessage(u"处方标题"_s);
        // Stored as "?" it would lose what the doctor typed without a word.
        QTest::newRow("lone surrogate in the name") << headingIndex(HeadingField::Name) << u"张"_s + QChar(0xD840) << unstorableMessage(u"姓名"_s);
        QTest::newRow("lone surrogate in the body") << -3 << QChar(0xDC00) + u"阿莫西林"_s << unstorableMessage(u"处方正文"_s);
    }
    void refusedSaveStoresNothing()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, problem);
        const Prescription stored = filledPrescription(u"2016-10-14 09:30:15"_s);
        QVERIFY(m_records->save(stored, kYear));
        const qint64 rows = count("档案");
        const qint64 patients = count("患者信息");

        for (const QString& key : {stored.key, u"2016-10-14 10:00:00"_s}) {
            Prescription changed = filledPrescription(key);
            changed.body = u"改过的正文"_s;
            (field == -1 ? changed.title : field == -3 ? changed.body : changed.fields[field]) = text;
            const SaveResult result = m_records->save(changed, kYear);
            QCOMPARE(result.problem, problem);
            QCOMPARE(result.stored, problem.isEmpty());
            if (!result.stored) {
                QCOMPARE(count("档案"), rows);
                QCOMPARE(count("患者信息"), patients);
                QCOMPARE(m_records->openByKey(stored.key), stored);
            }
        }
    }

    void patientRow_data()
    {
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("age");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("note");
        using R = SaveResult::PatientRow;
        QTest::newRow("registered") << u"男"_s << u"25岁"_s << int(R::Written) << QString();
        QTest::newRow("blank age counts as filled") << u"女"_s << u" "_s << int(R::Written) << QString();
        QTest::newRow("no age: not registered") << u"男"_s << QString() << int(R::NotWanted) << QString();
        QTest::newRow("no sex: refused, prescription kept") << QString() << u"25岁"_s << int(R::Refused)
                                                           << kPatientWithoutSexNote;
    }
    void patientRow()
    {
        QFETCH(QString, sex);
        QFETCH(QString, age);
        QFETCH(int, outcome);
        QFETCH(QString, note);
        Prescription p = filledPrescription(u"2016-10-14 09:30:15"_s);
        p.fields[headingIndex(HeadingField::Sex)] = sex;
        p.fields[headingIndex(HeadingField::Age)] = age;
        const qint64 before = count("患者信息");
        const SaveResult result = m_records->save(p, kYear);
        QVERIFY(result.stored);
        QCOMPARE(int(result.patient), outcome);
        QCOMPARE(result.patientNote, note);
        QCOMPARE(m_records->openByKey(p.key).value_or(Prescription()).fields[headingIndex(HeadingField::Sex)], sex);

        const bool written = outcome == int(SaveResult::PatientRow::Written);
        QCOMPARE(count("患者信息"), before + (written ? 1 : 0));
        if (!written)
            return;
        // A second save with the same name and age brings the one row up to date.
        p.fields[headingIndex(HeadingField::Diagnosis)] = u"支气管炎"_s;
        QVERIFY(m_records->save(p, kYear));
        QCOMPARE(count("患者信息"), before + 1);
        const QString key = patientKey(p.fields[headingIndex(HeadingField::Name)], birthYear(age, kYear));
        Statement st = db().prepare(R"(SELECT * FROM "患者信息" WHERE "序号" = ?)");
        st.bind(1, key);
        QVERIFY(st.next());
        const QList<std::pair<const char*, QString>> columns{
            {"姓名", p.fields[headingIndex(HeadingField::Name)]},        {"性别", sex},
            {"出生年月", birthYear(age, kYear)}, {"费别", p.fields[headingIndex(HeadingField::FeeClass)]},
            {"医疗证号", p.fields[headingIndex(HeadingField::CardNumber)]}, {"住址", p.fields[headingIndex(HeadingField::Address)]},
            {"诊断", u"支气管炎"_s},            {"过敏史", p.fields[headingIndex(HeadingField::Allergy)]},
            {"既往史", p.fields[headingIndex(HeadingField::PastHistory)]}, {"电话", p.fields[headingIndex(HeadingField::Telephone)]}};
        for (const auto& [column, value] : columns)
            QCOMPARE(st.text(column), value);
    }

    void birthYearAndPatientKey_data()
    {
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("year");
        QTest::newRow("岁") << u"25岁"_s << u"1991"_s;
        QTest::newRow("y") << u"25y"_s << u"1991"_s;
        QTest::newRow("Y") << u"25Y"_s << u"1991"_s;
        QTest::newRow("blanks around") << u" 25 "_s << u"1991"_s;
        QTest::newRow("months are not a number") << u"3个月"_s << u"2016"_s;
        QTest::newRow("letters") << u"abc"_s << u"2016"_s;
        QTest::newRow("empty") << QString() << u"2016"_s;
        QTest::newRow("negative") << u"-3"_s << u"2019"_s;
        QTest::newRow("fraction") << u"2.5"_s << u"2013.5"_s;
        QTest::newRow("sign then blank") << u"- 3"_s << u"2016"_s;
        QTest::newRow("full-width digits") << u"２５"_s << u"2016"_s;
    }
    void birthYearAndPatientKey()
    {
        QFETCH(QString, age);
        QFETCH(QString, year);
        QCOMPARE(birthYear(age, kYear), year);
        QCOMPARE(patientKey(u"张三"_s, year), u"张三zs"_s + year);
    }

    void patientKeyKeepsTheNameAsTyped()
    {
        // Blanks stay in the name part; the pinyin part is taken from the trimmed name.
        QCOMPARE(patientKey(u" 李四 "_s, u"1991"_s), u" 李四 ls1991"_s);
    }

    void parseVisitDate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");  // invalid: refused
        QTest::newRow("iso") << u"2016-01-03"_s << QDate(2016, 1, 3);
        QTest::newRow("slashes, short parts") << u"2016/1/3"_s << QDate(2016, 1, 3);
        QTest::newRow("blanks around") << u"  2016-10-14 "_s << QDate(2016, 10, 14);
        QTest::newRow("leap day") << u"2016-02-29"_s << QDate(2016, 2, 29);
        QTest::newRow("no leap day") << u"2015-02-29"_s << QDate();
        QTest::newRow("month 13") << u"2016-13-01"_s << QDate();
        QTest::newRow("mixed separators") << u"2016-01/03"_s << QDate();
        QTest::newRow("two-digit year") << u"16-1-3"_s << QDate();
        QTest::newRow("tab is not a blank") << u"\t2016-01-03"_s << QDate();
        QTest::newRow("time after it") << u"2016-01-03 10:00"_s << QDate();
        QTest::newRow("empty") << QString() << QDate();
    }
    void parseVisitDate()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(qelvaro::parseVisitDate(text).value_or(QDate()), date);
    }

    void fiveYearsBeforeKeepsTheDay()
    {
        QCOMPARE(fiveYearsBefore(QDate(2016, 10, 14)), QDate(2011, 10, 14));
        QCOMPARE(fiveYearsBefore(QDate(2016, 2, 29)), QDate(2011, 2, 28));
    }

    void recordList_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("keys");
        const QDate first(2016, 10, 1), last(2016, 10, 31);
        QTest::newRow("all in range, newest key first")
            << QString() << first << last
            << QStringList{u"k6"_s, u"k5"_s, u"k4"_s, u"k3"_s, u"k2"_s};
        QTest::newRow("apostrophe") << u"O'Brien"_s << first << last << QStringList{u"k2"_s};
        QTest::newRow("percent is literal") << u"%"_s << first << last << QStringList{u"k3"_s};
        QTest::newRow("underscore is literal") << u"_"_s << first << last << QStringList{u"k4"_s};
        QTest::newRow("one character") << u"张"_s << first << last << QStringList{u"k6"_s, u"k3"_s};
        QTest::newRow("ASCII case ignored") << u"o'brien"_s << first << last << QStringList{u"k2"_s};
        QTest::newRow("one day") << QString() << last << last << QStringList{u"k5"_s};
        QTest::newRow("reversed range") << QString() << last << first << QStringList{};
    }
    void recordList()
    {
        QFETCH(QString, filter);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, keys);
        QVERIFY(db().exec(R"(DELETE FROM "档案")"));
        // Keys run against visit dates: the list follows the key.
        insertRaw(u"k1"_s, u"张三"_s, u"2016-09-30"_s);
        insertRaw(u"k2"_s, u"O'Brien"_s, u"2016-10-01"_s);
        insertRaw(u"k3"_s, u"50%张"_s, u"2016-10-20"_s);
        insertRaw(u"k4"_s, u"a_b"_s, u"2016-10-15"_s);
        insertRaw(u"k5"_s, u"axb"_s, u"2016-10-31"_s);
        insertRaw(u"k6"_s, u"张三"_s, u"2016-10-02"_s);
        insertRaw(u"k7"_s, u"张三"_s, u"2016-11-01"_s);

        const RecordList listed = m_records->list(filter, from, to);
        QVERIFY(listed.ok);
        QStringList found;
        for (const qint64 rowId : listed.rowIds) {
            const RecordListRow row = m_records->listRow(rowId).value_or(RecordListRow());
            found << row.key;
            QCOMPARE(m_records->open(rowId).value_or(Prescription()).key, row.key);
        }
        QCOMPARE(found, keys);
    }

    void recordListItemShowsNameSexAgeAndDate()
    {
        Prescription p = filledPrescription(u"2016-10-14 09:30:15"_s);
        p.fields[headingIndex(HeadingField::Age)].clear();
        QVERIFY(m_records->save(p, kYear));
        const RecordList listed = m_records->list(u"王小明"_s, u"2016-10-14"_s, u"2016-10-14"_s);
        QCOMPARE(listed.rowIds.size(), 1);
        QCOMPARE(m_records->listRow(listed.rowIds[0]).value_or(RecordListRow()).itemText, u"王小明[男,,2016-10-14]"_s);
    }

    void recordListWithTypedDates_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("ok");
        QTest::newRow("typed as the list shows them") << u"2016-10-01"_s << u"2016/10/31"_s << true;
        QTest::newRow("empty from") << QString() << u"2016-10-31"_s << false;
        QTest::newRow("no such day") << u"2016-10-01"_s << u"2016-10-32"_s << false;
    }
    void recordListWithTypedDates()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, ok);
        QVERIFY(m_records->save(filledPrescription(u"2016-10-14 09:30:15"_s), kYear));
        const RecordList listed = m_records->list(QString(), from, to);
        QCOMPARE(listed.ok, ok);
        QCOMPARE(listed.problem, ok ? QString() : kBadDateRangeMessage);
        QCOMPARE(listed.rowIds.size(), ok ? 1 : 0);
    }

    void openReadsNullColumnsAsEmptyOrDefault_data()
    {
        QTest::addColumn<QVariant>("storedTitle");
        QTest::addColumn<QVariant>("storedKind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("kind");
        QTest::newRow("neither") << QVariant() << QVariant() << kDefaultTitle << kDefaultKind;
        QTest::newRow("kind without title") << QVariant() << QVariant(u"中医"_s) << u"中医处方笺"_s << u"中医"_s;
        QTest::newRow("both stored") << QVariant(u"儿科处方笺"_s) << QVariant(u"儿科"_s) << u"儿科处方笺"_s << u"儿科"_s;
    }
    void openReadsNullColumnsAsEmptyOrDefault()
    {
        QFETCH(QVariant, storedTitle);
        QFETCH(QVariant, storedKind);
        QFETCH(QString, title);
        QFETCH(QString, kind);
        Statement st = db().prepare(R"(INSERT INTO "档案" ("0", "9", "名称", "C1", "C2") VALUES ('赵六', '2016-10-14', 'k', ?, ?))");
        QVERIFY(st.bindAll(storedTitle, storedKind).run());
        const std::optional<Prescription> opened = m_records->openByKey(u"k"_s);
        QVERIFY(opened);
        Prescription expected;
        expected.fields[headingIndex(HeadingField::Name)] = u"赵六"_s;
        expected.fields[headingIndex(HeadingField::Date)] = u"2016-10-14"_s;
        expected.key = u"k"_s;
        expected.title = title;
        expected.kind = kind;
        QCOMPARE(*opened, expected);
    }

    void removeDeletesOnlyTheRowWithTheKey()
    {
        const Prescription a = filledPrescription(u"2016-10-14 09:30:15"_s);
        const Prescription b = filledPrescription(u"2016-10-14 09:30:16"_s);
        QVERIFY(m_records->save(a, kYear));
        QVERIFY(m_records->save(b, kYear));
        const qint64 rows = count("档案");
        const qint64 patients = count("患者信息");

        QString problem;
        QVERIFY(!m_records->remove(u"2016-10-14 09:30:17"_s, &problem));  // never saved
        QVERIFY(problem.isEmpty());
        QCOMPARE(count("档案"), rows);

        QVERIFY(m_records->remove(a.key));
        QCOMPARE(count("档案"), rows - 1);
        QVERIFY(!m_records->openByKey(a.key));
        QCOMPARE(m_records->openByKey(b.key), b);
        QCOMPARE(count("患者信息"), patients);
    }

    void issuedKeysAreUnique()
    {
        const QDateTime t(QDate(2016, 10, 14), QTime(9, 30, 15, 100));
        RecordKeyIssuer issuer(m_store->records());
        QCOMPARE(issuer.issue(t), u"2016-10-14 09:30:15"_s);
        QCOMPARE(issuer.issue(t.addMSecs(500)), u"2016-10-14 09:30:16"_s);  // same second
        QCOMPARE(issuer.issue(t.addSecs(-60)), u"2016-10-14 09:30:17"_s);   // clock put back

        // A later run meets keys already stored.
        QVERIFY(m_records->save(filledPrescription(u"2016-10-14 10:00:00"_s), kYear));
        QVERIFY(m_records->save(filledPrescription(u"2016-10-14 10:00:01"_s), kYear));
        RecordKeyIssuer nextRun(m_store->records());
        QCOMPARE(nextRun.issue(QDateTime(QDate(2016, 10, 14), QTime(10, 0, 0))), u"2016-10-14 10:00:02"_s);
    }

    void withoutADatabaseEveryOperationFailsCleanly()
    {
        RecordStore records(nullptr);
        const SaveResult saved = records.save(filledPrescription(u"k"_s), kYear);
        QVERIFY(!saved.stored);
        QCOMPARE(saved.problem, kSaveFailedMessage);
        const RecordList listed = records.list(QString(), QDate(2016, 1, 1), QDate(2016, 12, 31));
        QVERIFY(!listed.ok);
        QCOMPARE(listed.problem, kRecordsUnavailableMessage);
        QString problem;
        QVERIFY(!records.open(1, &problem));
        QCOMPARE(problem, kRecordsUnavailableMessage);
        QVERIFY(!records.remove(u"k"_s, &problem));
        QCOMPARE(RecordKeyIssuer(nullptr).issue(QDateTime(QDate(2016, 1, 1), QTime(8, 0))),
                 u"2016-01-01 08:00:00"_s);

        const Lookups lookups(nullptr, nullptr);
        QVERIFY(lookups.patients(u"张三"_s, kYear).isEmpty());
        QVERIFY(lookups.diagnosesOnEntry(QString()).isEmpty());
        QVERIFY(!lookups.takePatient(1, kYear));
        QVERIFY(!lookups.templateContent(1));
    }
};

QTEST_GUILESS_MAIN(RecordStoreTest)
#include "RecordStoreTest.moc"
