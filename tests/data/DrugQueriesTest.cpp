#include "DataStore.h"
#include "DrugQueries.h"
#include "ListedTexts.h"
#include "StoreFixture.h"

#include <QTest>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

class DrugQueriesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_fixture;
    DataStore* m_store = nullptr;

    Database& db() { return *m_store->settings(); }

    qint64 addDrug(const QString& code, const QString& name, const QString& category)
    {
        Statement st = db().prepare(R"(INSERT INTO "药品" ("拼音", "名称", "分类") VALUES (?, ?, ?))");
        return st.bindAll(code, name, category).run() ? db().lastInsertRowId() : -1;
    }
    qint64 addSet(const QString& name, const QString& category, const QString& code, const QVariant& content)
    {
        Statement st = db().prepare(R"(INSERT INTO "个人组套" ("名称", "分类", "拼音", "内容") VALUES (?, ?, ?, ?))");
        return st.bindAll(name, category, code, content).run() ? db().lastInsertRowId() : -1;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        QVERIFY(m_fixture->opened);
        m_store = &m_fixture->store;
        QVERIFY(db().exec(R"(DELETE FROM "药品"; DELETE FROM "个人组套";)"));
    }
    void cleanup()
    {
        m_store = nullptr;
        m_fixture.reset();
    }

    void categoryListsItsDrugsByName()
    {
        addDrug(u"zsy"_s, u"注射用头孢曲松钠  1g"_s, u"抗生素"_s);
        const qint64 amx = addDrug(u"amxl"_s, u"阿莫西林胶囊  0.25g*24"_s, u"抗生素"_s);
        addDrug(u"dh"_s, u"独活 10g"_s, u"中药"_s);
        addDrug(u"qkl"_s, u"清开灵口服液  10ml*10"_s, u"中成药"_s);
        addDrug(u"x"_s, u"头孢克肟片"_s, u"口服抗生素"_s);  // the caption stands anywhere in 分类
        const DrugQueries q(&db());

        const QList<CatalogueEntry> antibiotics = q.drugsOfCategory(u"抗生素"_s);
        QCOMPARE(texts(antibiotics), (QStringList{u"阿莫西林胶囊  0.25g*24"_s, u"头孢克肟片"_s, u"注射用头孢曲松钠  1g"_s}));
        QCOMPARE(antibiotics.first().rowId, amx);
        // "中成药" does not hold "中药".
        QCOMPARE(texts(q.drugsOfCategory(u"中药"_s)), QStringList{u"独活 10g"_s});
    }

    void searchMatchesTheCodeLiterally_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("anywhere in the code") << "b" << QStringList{"a%b", "a\\b", "a_b", "abc"};
        QTest::newRow("upper case") << "AB" << QStringList{"abc"};
        QTest::newRow("percent") << "%" << QStringList{"a%b"};
        QTest::newRow("underscore") << "a_" << QStringList{"a_b"};
        QTest::newRow("backslash") << "\\" << QStringList{"a\\b"};
        QTest::newRow("apostrophe") << "'" << QStringList{"o'k"};
        QTest::newRow("bracket") << "[a" << QStringList();
        QTest::newRow("outside the BMP") << "\U0002000B" << QStringList();
        QTest::newRow("empty: all") << "" << QStringList{"a%b", "a\\b", "a_b", "abc", "o'k"};
    }
    void searchMatchesTheCodeLiterally()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        // The name is the code, so the order is the codes' byte order.
        for (const QString& code : {u"abc"_s, u"a%b"_s, u"a_b"_s, u"a\\b"_s, u"o'k"_s})
            QVERIFY(addDrug(code, code, u"其他"_s) > 0);
        QCOMPARE(texts(DrugQueries(&db()).searchDrugs(typed)), found);
    }

    void searchListsTheFirst200ByName_data()
    {
        QTest::addColumn<int>("matching");
        QTest::newRow("250 match") << 250;
        QTest::newRow("200 match") << 200;
        QTest::newRow("199 match") << 199;
    }
    void searchListsTheFirst200ByName()
    {
        QFETCH(int, matching);
        QList<int> numbers(matching);
        std::iota(numbers.begin(), numbers.end(), 0);
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(5));
        Transaction t(db());
        for (int n : numbers)
            addDrug(u"yp"_s, u"药品%1"_s.arg(n, 3, 10, QChar(u'0')), n % 2 ? u"中药"_s : u"抗生素"_s);
        addDrug(u"qt"_s, u"其他药"_s, u"抗生素"_s);
        QVERIFY(t.commit());

        const QStringList found = texts(DrugQueries(&db()).searchDrugs(u"yp"_s));
        QCOMPARE(found.size(), std::min(matching, 200));
        QCOMPARE(found.first(), u"药品000"_s);
        QCOMPARE(found.last(), u"药品%1"_s.arg(found.size() - 1, 3, 10, QChar(u'0')));
    }

    void searchUnderACategory()
    {
        addDrug(u"dh"_s, u"独活 10g"_s, u"中药"_s);
        addDrug(u"dhj"_s, u"大黄碳酸氢钠片"_s, u"消化"_s);
        addDrug(u"dhz"_s, u"当归 10g"_s, u"中药"_s);
        const DrugQueries q(&db());
        QCOMPARE(texts(q.searchDrugs(u"dh"_s)), (QStringList{u"大黄碳酸氢钠片"_s, u"当归 10g"_s, u"独活 10g"_s}));
        QCOMPARE(texts(q.searchDrugs(u"dh"_s, u"中药"_s)), (QStringList{u"当归 10g"_s, u"独活 10g"_s}));
    }

    void setsInStoredOrder()
    {
        addSet(u"胃炎组套"_s, u"个人组套"_s, u"wyzt"_s, u"甲"_s);
        addSet(u"银翘散"_s, u"中医验方"_s, u"yqs"_s, u"乙"_s);
        addSet(u"感冒组套"_s, u"个人组套"_s, u"gmzt"_s, u"丙"_s);
        const DrugQueries q(&db());
        QCOMPARE(texts(q.setsOfCategory(u"个人组套"_s)), (QStringList{u"胃炎组套"_s, u"感冒组套"_s}));
        QCOMPARE(texts(q.setsOfCategory(u"中医验方"_s)), QStringList{u"银翘散"_s});
        QCOMPARE(texts(q.searchSets(u"ZT"_s, u"个人组套"_s)), (QStringList{u"胃炎组套"_s, u"感冒组套"_s}));
        QCOMPARE(texts(q.searchSets(u"zt"_s, u"中医验方"_s)), QStringList());
        QCOMPARE(texts(q.searchSets(u"%"_s, u"个人组套"_s)), QStringList());
    }

    void setContentOfTheRow()
    {
        const qint64 stored = addSet(u"胃炎组套"_s, u"个人组套"_s, u"wyzt"_s, u"甲\r\n乙"_s);
        const qint64 empty = addSet(u"空组套"_s, u"个人组套"_s, u"kzt"_s, QVariant());
        const DrugQueries q(&db());
        QCOMPARE(q.setContent(stored), std::optional<QString>(u"甲\r\n乙"_s));
        QCOMPARE(q.setContent(empty), std::optional<QString>(QString()));
        QCOMPARE(q.setContent(empty + 100), std::nullopt);
    }

    void withoutADatabaseEverythingIsEmpty()
    {
        const DrugQueries q(nullptr);
        QVERIFY(q.drugsOfCategory(u"抗生素"_s).isEmpty());
        QVERIFY(q.searchDrugs(QString()).isEmpty());
        QVERIFY(q.searchSets(QString(), u"个人组套"_s).isEmpty());
        QCOMPARE(q.setContent(1), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(DrugQueriesTest)
#include "DrugQueriesTest.moc"
