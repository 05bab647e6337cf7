// The record store and the patient look-up on a busy clinic's data (RecordBenchDatabase.h).
#include "Lookups.h"
#include "RecordBenchDatabase.h"
#include "RecordListModel.h"
#include "RecordStore.h"
#include "SearchIndexes.h"

#include <sqlcipher/sqlite3.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace qelvaro;
using namespace Qt::StringLiterals;
using namespace qelvaro::bench;

namespace {

struct Data {
    std::unique_ptr<DataStore> store;
    std::unique_ptr<SearchIndexes> indexes;
    QStringList names;
    int currentYear = kLastDay.year();
};

Data* g_data = nullptr;

void printPlans(Database& records, Database& settings)
{
    QList<NamedQuery> queries = RecordStore::queries();
    queries += Lookups::queries();
    for (const NamedQuery& q : queries) {
        Database& db = q.database == NamedQuery::Target::Records ? records : settings;
        Statement st = db.prepare("EXPLAIN QUERY PLAN " + std::string(q.sql));
        std::printf("-- %s\n", q.name);
        while (st.next())
            std::printf("   %s\n", qPrintable(st.text("detail")));
        if (!st.ok())
            std::printf("   (%s)\n", qPrintable(st.error()));
    }
    std::fflush(stdout);
}

bool setUp()
{
    static Data data;
    data.store = bench::openRecordBenchStore(&data.names);
    if (!data.store)
        return false;
    printPlans(*data.store->records(), *data.store->settings());
    data.indexes = std::make_unique<SearchIndexes>();
    data.indexes->loadNow(data.store->records(), data.store->settings());
    g_data = &data;
    return true;
}

QDate monthStart(int n) { return kFirstDay.addMonths(n % 120); }

void BM_RecordListNameMonth(benchmark::State& state)
{
    const RecordStore store(g_data->store->records(), g_data->indexes.get());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate from = monthStart(n * 7);
        const RecordList list = store.list(g_data->names[(n * 37) % kDistinctNames], from, from.addMonths(1).addDays(-1));
        rows += list.rowIds.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListNameMonth)->Unit(benchmark::kMillisecond);

// After a save: the patient's records of the last five years.
void BM_RecordListNameFiveYears(benchmark::State& state)
{
    const RecordStore store(g_data->store->records(), g_data->indexes.get());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const RecordList list = store.list(g_data->names[(n * 37) % kDistinctNames], fiveYearsBefore(kLastDay), kLastDay);
        rows += list.rowIds.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListNameFiveYears)->Unit(benchmark::kMillisecond);

// The main window's start: every record of the last month.
void BM_RecordListAllOfAMonth(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate from = monthStart(n * 7);
        const RecordList list = store.list(QString(), from, from.addMonths(1).addDays(-1));
        rows += list.rowIds.size();
        benchmark::DoNotOptimize(list);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListAllOfAMonth)->Unit(benchmark::kMillisecond);

// One keystroke in the name field: a typed name, pinyin initials, a birth year. The program's
// look-up (the patient index) and the SQL it falls back on while the index loads.
void patientLookup(benchmark::State& state, const SearchIndexes* indexes)
{
    const Lookups lookups(g_data->store->records(), nullptr, indexes);
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QString name = g_data->names[(n * 37) % kDistinctNames];
        QString typed;
        switch (state.range(0)) {
        case 0: typed = name.left(2); break;
        case 1: typed = pinyinCode(name).left(2); break;
        default: typed = QString::number(1930 + n % 90); break;
        }
        const PatientMatches items = lookups.patients(typed, g_data->currentYear);
        rows += items.size();
        benchmark::DoNotOptimize(items);
        ++n;
    }
    state.SetLabel(state.range(0) == 0 ? "name" : state.range(0) == 1 ? "pinyin" : "birth year");
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
void BM_PatientLookup(benchmark::State& state) { patientLookup(state, g_data->indexes.get()); }
BENCHMARK(BM_PatientLookup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
void BM_PatientLookupSql(benchmark::State& state) { patientLookup(state, nullptr); }
BENCHMARK(BM_PatientLookupSql)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The list as the window shows it: the row ids read, the model filled and the first screen of
// item texts built.
qint64 showList(const RecordStore& store, RecordListModel& model, const QString& name, const QDate& from,
                const QDate& to)
{
    RecordList list = store.list(name, from, to);
    model.setRowIds(std::move(list.rowIds));
    for (int i = 0; i < std::min(model.rowCount(), 20); ++i)
        benchmark::DoNotOptimize(model.index(i, 0).data());
    return model.rowCount();
}

// 查询 with an empty name over five years: half the records.
void BM_RecordListEveryoneFiveYears(benchmark::State& state)
{
    const RecordStore store(g_data->store->records(), g_data->indexes.get());
    RecordListModel model(store);
    qint64 rows = 0;
    for (auto _ : state)
        rows += showList(store, model, QString(), fiveYearsBefore(kLastDay), kLastDay);
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListEveryoneFiveYears)->Unit(benchmark::kMillisecond);

// The same SQL as BM_RecordListAllOfAMonth on the bare C API: the data layer's own cost.
void BM_RecordListAllOfAMonthBareApi(benchmark::State& state)
{
    std::string sql;
    for (const NamedQuery& q : RecordStore::queries()) {
        if (std::string_view(q.name) == "record list of every name")
            sql = q.sql;
    }
    sqlite3* db = g_data->store->records()->handle();
    sqlite3_stmt* st = nullptr;
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        // Prepared, bound and read as the data layer does on each listing.
        sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &st, nullptr);
        const QDate from = monthStart(n * 7);
        const QByteArray first = isoDate(from).toUtf8();
        const QByteArray last = isoDate(from.addMonths(1).addDays(-1)).toUtf8();
        sqlite3_bind_text(st, 1, first.constData(), int(first.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, last.constData(), int(last.size()), SQLITE_TRANSIENT);
        // The rows read and put in the list's order, newest key first.
        std::vector<std::pair<std::string, qint64>> listed;
        while (sqlite3_step(st) == SQLITE_ROW) {
            listed.emplace_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                                            size_t(sqlite3_column_bytes(st, 1))),
                                sqlite3_column_int64(st, 0));
        }
        sqlite3_finalize(st);
        std::sort(listed.begin(), listed.end(), std::greater<>());
        QList<qint64> ids;
        ids.reserve(qsizetype(listed.size()));
        for (const auto& row : listed)
            ids.append(row.second);
        rows += ids.size();
        benchmark::DoNotOptimize(ids);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_RecordListAllOfAMonthBareApi)->Unit(benchmark::kMillisecond);

// 保存 as the window does it: the save, then the patient's records of the last five years listed.
void BM_SaveAsTheWindowDoes(benchmark::State& state)
{
    Database& db = *g_data->store->records();
    RecordStore store(&db, g_data->indexes.get());
    RecordListModel model(store);
    RecordKeyIssuer keys(&db);
    const QDateTime start(QDate(2030, 1, 1), QTime(8, 0));
    int n = 0;
    for (auto _ : state) {
        Prescription p;
        p.fields[headingIndex(HeadingField::Name)] = g_data->names[(n * 37) % kDistinctNames];
        p.fields[headingIndex(HeadingField::Sex)] = u"男"_s;
        p.fields[headingIndex(HeadingField::Age)] = u"45岁"_s;
        p.fields[headingIndex(HeadingField::Date)] = isoDate(kLastDay);
        p.fields[headingIndex(HeadingField::Diagnosis)] = u"上呼吸道感染"_s;
        p.body = u"复方甘草片  100片\n    用法：3片 tid\n"_s;
        p.key = keys.issue(start.addSecs(n));
        const SaveResult result = store.save(p, g_data->currentYear);
        if (!result.stored) {
            state.SkipWithError(qPrintable(u"save failed: "_s + result.problem + db.lastError()));
            break;
        }
        benchmark::DoNotOptimize(showList(store, model, p.fields[headingIndex(HeadingField::Name)], fiveYearsBefore(kLastDay), kLastDay));
        ++n;
    }
    // After the loop, so untimed.
    db.exec(R"(DELETE FROM "档案" WHERE "名称" >= '2030')");
}
BENCHMARK(BM_SaveAsTheWindowDoes)->Unit(benchmark::kMillisecond);

// A new prescription for a known patient: the record inserted, the patient row brought up to date.
void BM_SaveWithPatient(benchmark::State& state)
{
    Database& db = *g_data->store->records();
    RecordStore store(&db);
    RecordKeyIssuer keys(&db);
    const QDateTime start(QDate(2030, 1, 1), QTime(8, 0));
    int n = 0;
    for (auto _ : state) {
        Prescription p;
        p.fields[headingIndex(HeadingField::Name)] = g_data->names[(n * 37) % kDistinctNames];
        p.fields[headingIndex(HeadingField::Sex)] = u"男"_s;
        p.fields[headingIndex(HeadingField::Age)] = u"45岁"_s;
        p.fields[headingIndex(HeadingField::Date)] = u"2025-12-31"_s;
        p.fields[headingIndex(HeadingField::Diagnosis)] = u"上呼吸道感染"_s;
        p.body = u"复方甘草片  100片\n    用法：3片 tid\n"_s;
        p.key = keys.issue(start.addSecs(n));
        const SaveResult result = store.save(p, g_data->currentYear);
        if (!result.stored || result.patient != SaveResult::PatientRow::Written) {
            state.SkipWithError(qPrintable(u"save failed: "_s + result.problem + db.lastError()));
            break;
        }
        ++n;
    }
    // After the loop, so untimed.
    db.exec(R"(DELETE FROM "档案" WHERE "名称" >= '2030')");
}
BENCHMARK(BM_SaveWithPatient)->Unit(benchmark::kMillisecond);

// Reading the indexes the program loads in the background after the main window shows: /0 the
// patient keys, /1 the record names, /2 the record order. Until the last is read, 查询 with an
// empty name asks the database.
void BM_IndexLoad(benchmark::State& state)
{
    Database& db = *g_data->store->records();
    for (auto _ : state) {
        bool ok = false;
        switch (state.range(0)) {
        case 0: ok = PatientIndex().load(db); break;
        case 1: ok = NameIndex().load(db); break;
        default: ok = RecordOrderIndex().load(db); break;
        }
        if (!ok)
            state.SkipWithError("the index could not be read");
    }
}
BENCHMARK(BM_IndexLoad)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_OpenRecord(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
    std::mt19937 rng(7);
    std::uniform_int_distribution<qint64> row(1, kPrescriptions);
    for (auto _ : state) {
        const std::optional<Prescription> p = store.open(row(rng));
        if (!p)
            state.SkipWithError("no record");
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_OpenRecord)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!setUp()) {
        std::fprintf(stderr, "could not build the benchmark database in %s\n", qPrintable(kRecordBenchFolder));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
