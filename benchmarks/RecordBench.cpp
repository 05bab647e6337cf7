// The record store and the patient look-up on a busy clinic's data (RecordBenchDatabase.h).
#include "Lookups.h"
#include "RecordBenchDatabase.h"
#include "RecordStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <random>

using namespace qelvaro;
using namespace Qt::StringLiterals;
using namespace qelvaro::bench;

namespace {

struct Data {
    std::unique_ptr<DataStore> store;
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
    g_data = &data;
    return true;
}

QDate monthStart(int n) { return kFirstDay.addMonths(n % 120); }

void BM_RecordListNameMonth(benchmark::State& state)
{
    const RecordStore store(g_data->store->records());
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
    const RecordStore store(g_data->store->records());
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

// One keystroke in the name field: a typed name, pinyin initials, a birth year.
void BM_PatientLookup(benchmark::State& state)
{
    const Lookups lookups(g_data->store->records(), nullptr);
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
        const QList<LookupItem> items = lookups.patients(typed, g_data->currentYear);
        rows += items.size();
        benchmark::DoNotOptimize(items);
        ++n;
    }
    state.SetLabel(state.range(0) == 0 ? "name" : state.range(0) == 1 ? "pinyin" : "birth year");
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PatientLookup)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

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
        p.fields[Prescription::kName] = g_data->names[(n * 37) % kDistinctNames];
        p.fields[Prescription::kSex] = u"男"_s;
        p.fields[Prescription::kAge] = u"45岁"_s;
        p.fields[Prescription::kDate] = u"2025-12-31"_s;
        p.fields[Prescription::kDiagnosis] = u"上呼吸道感染"_s;
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
