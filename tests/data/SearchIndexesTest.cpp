// The in-memory drug and patient indexes answer exactly as the SQL searches do, and stay so
// through the program's writes, also those made while the indexes are read in the background.
#include "DrugStore.h"
#include "DrugQueries.h"
#include "Lookups.h"
#include "StoreFixture.h"
#include "RecordStore.h"
#include "SearchIndexes.h"

#include <QTest>

#include <random>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList kCategories{u"抗生素"_s, u"中药"_s, u"中成药"_s, u"输液"_s, u"其他"_s, QString(), u"a%B"_s};
// Letters, case, pattern characters and names that tie: what a literal, ASCII-case-blind
// containment search and its order must get right.
const QStringList kNameParts{u"阿莫西林"_s, u"甘草"_s, u"Vc"_s, u"vc"_s, u"50%葡萄糖"_s, u"当归"_s, u"a_b"_s};
const QStringList kCodeParts{u"amxl"_s, u"GC"_s, u"vc"_s, u"%"_s, u"_"_s, u"\\"_s, u"db"_s, u"x"_s};

QString pick(std::mt19937& rng, const QStringList& from)
{
    return from[std::uniform_int_distribution<int>(0, int(from.size()) - 1)(rng)];
}

QVariant nullOr(std::mt19937& rng, const QString& value)
{
    return std::uniform_int_distribution<int>(0, 19)(rng) == 0 ? QVariant() : QVariant(value);
}

bool insertDrug(Database& db, const QVariant& name, const QVariant& code, const QVariant& category)
{
    Statement st = db.prepare(R"(INSERT INTO "药品" ("名称", "拼音", "分类") VALUES (?, ?, ?))");
    return st.bindAll(name, code, category).run();
}

// About 600 drugs, so the 200-row cap is reached, with NULLs in every column and equal names.
bool fillDrugs(Database& db)
{
    std::mt19937 rng(12);
    Transaction t(db);
    for (int i = 0; i < 600; ++i) {
        const QString name = pick(rng, kNameParts) + (i % 3 ? QString::number(i % 40) : QString());
        const QString code = pick(rng, kCodeParts) + pick(rng, kCodeParts);
        const QVariant row[]{nullOr(rng, name), nullOr(rng, code), nullOr(rng, pick(rng, kCategories))};
        // Every tenth row twice: rows alike in every column keep the order of their rowids.
        for (int copies = i % 10 ? 1 : 2; copies > 0; --copies) {
            if (!insertDrug(db, row[0], row[1], row[2]))
                return false;
        }
    }
    return t.commit();
}

bool fillPatients(Database& db)
{
    std::mt19937 rng(5);
    Transaction t(db);
    Statement st = db.prepare(
        R"(INSERT INTO "患者信息" ("序号", "出生年月", "姓名", "性别") VALUES (?, ?, ?, '男'))");
    for (int i = 0; i < 400; ++i) {
        const QString name = pick(rng, {u"王伟"_s, u"王伟芳"_s, u"Li Na"_s, u"50%张"_s, u"a_b"_s});
        // Some birth years are not numbers: such rows give no item, whichever way they are found.
        const QString year = i % 17 ? QString::number(1930 + i % 90) : u"不详"_s;
        if (!st.bindAll(name + pick(rng, {u"ww"_s, u"WWF"_s, u"ln"_s, u"%z"_s, u"a_b"_s}) + year, year, name).run())
            return false;
    }
    return t.commit();
}

const QStringList kTyped{QString(), u"a"_s, u"V"_s, u"vc"_s, u"%"_s, u"_"_s, u"\\"_s, u"x%"_s, u"gcv"_s,
                         u"q"_s, u"莫"_s};
const QStringList kTypedNames{u"王伟"_s, u"ww"_s, u"WW"_s, u"19"_s, u"%z"_s, u"a_"_s, u"ab"_s, u"不详"_s, u"王"_s};

}  // namespace

class SearchIndexesTest : public QObject {
    Q_OBJECT

    // Every search of the table of typed texts and categories, answered by SQL and by the index.
    void compareDrugSearches(Database& db, SearchIndexes& indexes)
    {
        QVERIFY(indexes.drugs());
        const DrugQueries bySql(&db);
        const DrugQueries byIndex(&db, &indexes);
        for (const QString& caption : QStringList{QString(), u"中药"_s, u"药"_s, u"%"_s}) {
            for (const QString& typed : kTyped) {
                const QList<CatalogueEntry> expected = bySql.searchDrugs(typed, caption);
                QCOMPARE(byIndex.searchDrugs(typed, caption), expected);
            }
        }
        // The drug window's uncapped lists, rows without a name included.
        const DrugStore windowBySql(&db, nullptr);
        const DrugStore windowByIndex(&db, nullptr, &indexes);
        for (const QString& typed : kTyped)
            QCOMPARE(windowByIndex.search(typed), windowBySql.search(typed));
        for (const QString& caption : kCategories + QStringList{u"药"_s, u"%"_s, u"_"_s, u"A%b"_s}) {
            QCOMPARE(byIndex.drugsOfCategory(caption), bySql.drugsOfCategory(caption));
            QCOMPARE(windowByIndex.containingCategory(caption), windowBySql.containingCategory(caption));
            QCOMPARE(windowByIndex.ofCategory(caption), windowBySql.ofCategory(caption));
        }
        QVERIFY(!windowBySql.ofCategory(QString()).isEmpty());
        QVERIFY(windowBySql.search(QString()).size() > DrugQueries::kSearchLimit);
    }

    void comparePatientLookups(Database& db, SearchIndexes& indexes)
    {
        QVERIFY(indexes.patients());
        const Lookups bySql(&db, nullptr);
        const Lookups byIndex(&db, nullptr, &indexes);
        for (const QString& typed : kTypedNames)
            QCOMPARE(byIndex.patients(typed, 2024).toList(), bySql.patients(typed, 2024).toList());
    }

private slots:
    // The sixteen-bytes-a-step part search finds the first place memmem would, wherever the
    // part lies: near the block edges, at the very end, overlapping itself, or nowhere.
    // Keys of the program's form are compared by number, others by bytes: every pair, of either
    // kind, must still come out as comparing the bytes says.
    void recordKeysCompareAsTheirBytes()
    {
        const std::vector<std::string> keys{"2020-01-03 08:00:00", "2020-01-03 08:00:01", "2019-12-31 23:59:59",
                                            "2020-01-03 08:00:00x", "2020-01-03",         "2020-1-03 08:00:00",
                                            "2020-01-03 08:00:0a", "2020/01/03 08:00:00", "0000-00-00 00:00:00",
                                            "",                    "无此键",              "9999-99-99 99:99:99"};
        for (const std::string& a : keys) {
            for (const std::string& b : keys) {
                const int expected = std::string_view(a).compare(b);
                const int found = compareRecordKeys(recordKeyNumber(a), a, recordKeyNumber(b), b);
                QVERIFY2((expected > 0) - (expected < 0) == (found > 0) - (found < 0), (a + " / " + b).c_str());
            }
        }
    }

    void partSearchFindsWhatMemmemFinds()
    {
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> letter('a', 'd');
        for (int round = 0; round < 3000; ++round) {
            QByteArray text(std::uniform_int_distribution<int>(0, 70)(rng), Qt::Uninitialized);
            for (char& c : text)
                c = char(letter(rng));
            QByteArray part(std::uniform_int_distribution<int>(1, 5)(rng), Qt::Uninitialized);
            for (char& c : part)
                c = char(letter(rng));
            const int from = text.isEmpty() ? 0 : std::uniform_int_distribution<int>(0, int(text.size()))(rng);
            const char* begin = text.constData() + from;
            const char* end = text.constData() + text.size();
            const void* expected = memmem(begin, size_t(end - begin), part.constData(), size_t(part.size()));
            QCOMPARE(static_cast<const void*>(findPart(begin, end, part)), expected);
        }
    }

    void drugSearchesEqualTheSqlAndFollowCatalogueWrites()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        Database& db = *f.store.settings();
        QVERIFY(fillDrugs(db));
        QVERIFY(DrugQueries(&db).searchDrugs(QString()).size() == DrugQueries::kSearchLimit);
        f.searchIndexes.loadNow(f.store.records(), &db);
        compareDrugSearches(db, f.searchIndexes);

        // The drug store's writes: inserts (one alike a listed row), an update that moves a
        // row, a delete.
        QVERIFY(insertDrug(db, u"阿莫西林0"_s, u"AMXL"_s, u"抗生素"_s));
        f.searchIndexes.drugChanged(db.lastInsertRowId());
        QVERIFY(db.exec(R"(INSERT INTO "药品" SELECT * FROM "药品" WHERE rowid = 2)"));
        f.searchIndexes.drugChanged(db.lastInsertRowId());
        QVERIFY(db.exec(R"(UPDATE "药品" SET "名称" = '甘草X', "拼音" = 'gcx' WHERE rowid = 7)"));
        f.searchIndexes.drugChanged(7);
        QVERIFY(db.exec(R"(DELETE FROM "药品" WHERE rowid = 9)"));
        f.searchIndexes.drugChanged(9);
        compareDrugSearches(db, f.searchIndexes);
    }

    void patientLookupsEqualTheSqlAndFollowSaves()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        Database& db = *f.store.records();
        QVERIFY(fillPatients(db));
        f.searchIndexes.loadNow(&db, f.store.settings());
        comparePatientLookups(db, f.searchIndexes);

        // A save registers a new patient and brings a known one up to date.
        RecordStore store(&db, &f.searchIndexes);
        Prescription p;
        p.fields[headingIndex(HeadingField::Name)] = u"王伟"_s;
        p.fields[headingIndex(HeadingField::Sex)] = u"女"_s;
        p.fields[headingIndex(HeadingField::Age)] = u"30岁"_s;
        p.fields[headingIndex(HeadingField::Date)] = u"2024-03-05"_s;
        p.key = u"2024-03-05 09:30:00"_s;
        QCOMPARE(store.save(p, 2024).patient, SaveResult::PatientRow::Written);
        p.key = u"2024-03-05 09:31:00"_s;
        p.fields[headingIndex(HeadingField::Name)] = u"新病人"_s;
        QCOMPARE(store.save(p, 2024).patient, SaveResult::PatientRow::Written);
        const PatientMatches found = Lookups(&db, nullptr, &f.searchIndexes).patients(u"新病"_s, 2024);
        QCOMPARE(found.size(), 1);
        QCOMPARE(patientItemText(found.at(0)), u"新病人[30岁]"_s);
        comparePatientLookups(db, f.searchIndexes);
    }

    // A list by part of a name reads the records of the matching names only: the same rows in
    // the same order as the filter over every record, also for a name first stored after loading.
    void recordListsByNameEqualTheSql()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        Database& db = *f.store.records();
        Statement st = db.prepare(R"(INSERT INTO "档案" ("0", "9", "名称") VALUES (?, ?, ?))");
        const QStringList names{u"王伟"_s, u"王伟芳"_s, u"Li Na"_s, u"LI NA"_s, u"50%张"_s, u"a_b"_s, u"axb"_s};
        for (int i = 0; i < 120; ++i) {
            // Keys repeat (rows stored before keys were unique) so the rowid order shows.
            QVERIFY(st.bindAll(names[i % names.size()], isoDate(QDate(2020, 1, 1).addDays(i * 7)),
                               u"2020-01-%1 08:00:00"_s.arg(1 + i % 28, 2, 10, QChar(u'0')))
                        .run());
        }
        f.searchIndexes.loadNow(&db, f.store.settings());
        RecordStore indexed(&db, &f.searchIndexes);
        Prescription p;
        p.fields[headingIndex(HeadingField::Name)] = u"王新"_s;
        p.fields[headingIndex(HeadingField::Date)] = u"2021-06-01"_s;
        p.key = u"2021-06-01 10:00:00"_s;
        QVERIFY(indexed.save(p, 2024));

        const RecordStore bySql(&db);
        for (const QString& filter : {u"王"_s, u"王新"_s, u"li na"_s, u"%"_s, u"_"_s, u"a_b"_s, u"无此人"_s, QString()}) {
            const RecordList expected = bySql.list(filter, QDate(2020, 3, 1), QDate(2021, 12, 31));
            QVERIFY(expected.ok);
            const RecordList found = indexed.list(filter, QDate(2020, 3, 1), QDate(2021, 12, 31));
            QVERIFY(found.ok);
            QCOMPARE(found.rowIds, expected.rowIds);
        }
    }

    // The list of every name comes from memory: the same rows in the same order as the SQL's,
    // through saves that add, move and re-date rows and deletes of keys held by several rows,
    // also those made while the index is read in the background.
    void recordListsOfEveryNameEqualTheSqlThroughWrites()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        Database& db = *f.store.records();
        Statement st = db.prepare(R"(INSERT INTO "档案" ("0", "9", "名称") VALUES (?, ?, ?))");
        Transaction filled(db);
        for (int i = 0; i < 90; ++i) {
            // Keys repeat and are not in date order.
            QVERIFY(st.bindAll(u"病人%1"_s.arg(i % 7), isoDate(QDate(2020, 1, 1).addDays((i * 37) % 400)),
                               u"2020-01-%1 08:00:00"_s.arg(1 + i % 25, 2, 10, QChar(u'0')))
                        .run());
        }
        QVERIFY(filled.commit());
        SearchIndexes& indexes = f.searchIndexes;
        const auto reader = [](const QString& path, const QByteArray& key) {
            return [path, key] { return Database::open(path, key); };
        };
        indexes.loadInBackground(&db, reader(f.folder.paths().recordsFile(), DataStore::kRecordsKey),
                                 f.store.settings(), nullptr);
        RecordStore indexed(&db, &indexes);
        const RecordStore bySql(&db);
        const auto compare = [&] {
            const std::pair<QDate, QDate> ranges[]{{QDate(2020, 1, 1), QDate(2021, 2, 4)},
                                                   {QDate(2020, 3, 1), QDate(2020, 3, 1)},
                                                   {QDate(2020, 6, 30), QDate(2020, 12, 31)},
                                                   {QDate(2021, 1, 1), QDate(2020, 1, 1)},
                                                   {QDate(2019, 1, 1), QDate(2019, 12, 31)}};
            for (const auto& [from, to] : ranges) {
                const RecordList expected = bySql.list(QString(), from, to);
                const RecordList found = indexed.list(QString(), from, to);
                QVERIFY(expected.ok && found.ok);
                QCOMPARE(found.rowIds, expected.rowIds);
            }
        };
        Prescription p;
        p.fields[headingIndex(HeadingField::Name)] = u"新病人"_s;
        p.fields[headingIndex(HeadingField::Date)] = u"2020-03-01"_s;
        p.key = u"2020-01-03 08:00:00"_s;  // a key three stored rows hold: all are rewritten
        QVERIFY(indexed.save(p, 2024));
        QTRY_VERIFY(!indexes.isLoading());
        QVERIFY(indexes.recordOrder());
        compare();

        p.key = u"2020-01-30 09:00:00"_s;  // a new key among the old ones
        QVERIFY(indexed.save(p, 2024));
        p.fields[headingIndex(HeadingField::Date)] = u"2020-06-30"_s;  // the same record re-dated
        QVERIFY(indexed.save(p, 2024));
        QVERIFY(indexed.remove(u"2020-01-05 08:00:00"_s));
        QVERIFY(!indexed.remove(u"无此键"_s));
        compare();
        QVERIFY(indexes.recordOrder());
    }

    // Read behind the window on connections of its own; writes made meanwhile are not lost.
    void backgroundLoadKeepsWritesMadeMeanwhile()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        Database& settings = *f.store.settings();
        QVERIFY(fillDrugs(settings));
        SearchIndexes& indexes = f.searchIndexes;
        const auto reader = [](const QString& path, const QByteArray& key) {
            return [path, key] { return Database::open(path, key); };
        };
        indexes.loadInBackground(f.store.records(), reader(f.folder.paths().recordsFile(), DataStore::kRecordsKey),
                                 &settings, reader(f.folder.paths().settingsFile(), DataStore::kSettingsKey));
        QVERIFY(indexes.isLoading());
        // Until the index is there the search asks the database, with the same answer.
        QCOMPARE(DrugQueries(&settings, &indexes).searchDrugs(u"vc"_s), DrugQueries(&settings).searchDrugs(u"vc"_s));
        QVERIFY(insertDrug(settings, u"Vc新"_s, u"QqQ"_s, u"其他"_s));
        f.searchIndexes.drugChanged(settings.lastInsertRowId());
        QTRY_VERIFY(!indexes.isLoading());
        compareDrugSearches(settings, indexes);
        QVERIFY(DrugQueries(&settings, &indexes).searchDrugs(u"qqq"_s).size() == 1);
        QVERIFY(indexes.patients());
    }
};

QTEST_GUILESS_MAIN(SearchIndexesTest)
#include "SearchIndexesTest.moc"
