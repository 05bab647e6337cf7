// The outpatient log and the workload statistics on a busy clinic's data (RecordBenchDatabase.h):
// a month listed in the log window, a year counted, ten thousand visits exported.
#include "AppContext.h"
#include "Clock.h"
#include "FixedClock.h"
#include "MessageSink.h"
#include "OutpatientLog.h"
#include "OutpatientLogExport.h"
#include "OutpatientLogWindow.h"
#include "PrintTarget.h"
#include "RecordBenchDatabase.h"
#include "ScriptedFileDialog.h"
#include "SettingsCopy.h"
#include "Statistics.h"
#include "UrlOpener.h"

#include <benchmark/benchmark.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace qelvaro;
using namespace qelvaro::bench;

namespace {

class CountingSink : public MessageSink {
public:
    void tell(const QString&, const QString&) override { ++count; }
    bool ask(const QString&, const QString&) override { return ++count, false; }
    int count = 0;
};

class NoUrls : public UrlOpener {
public:
    bool open(const QUrl&) override { return true; }
};

std::unique_ptr<DataStore> g_store;

// A copy of the shared records of the record benchmarks, so bringing its indexes in line with this
// branch's template never rewrites the file that the other benchmarks measure.
const QString kLogBenchFolder = QStringLiteral("/tmp/qelvaro-logbench");

std::unique_ptr<DataStore> openLogBenchStore()
{
    const QString data = QStringLiteral("/档案数据库");
    if (!QFile::exists(kLogBenchFolder + data + QStringLiteral("/档案.dat"))) {
        QStringList names;
        if (!openRecordBenchStore(&names))  // built once when missing
            return nullptr;
        QDir().mkpath(kLogBenchFolder + data);
        for (const char* file : {"/档案.dat", "/设置.dat"}) {
            const QString name = data + QString::fromUtf8(file);
            if (!QFile::copy(kRecordBenchFolder + name, kLogBenchFolder + name + QStringLiteral(".part")) ||
                !QFile::rename(kLogBenchFolder + name + QStringLiteral(".part"), kLogBenchFolder + name))
                return nullptr;
        }
    }
    auto store = std::make_unique<DataStore>(AppPaths::inFolder(kLogBenchFolder));
    if (!store->open() || !matchTemplateIndexes(*store->records()))
        return nullptr;
    return store;
}

QDate monthStart(int n) { return kFirstDay.addMonths(n % 120); }

void printPlans(Database& records)
{
    for (const char* sql : {R"(SELECT rowid FROM "档案" WHERE "9" BETWEEN ? AND ? ORDER BY "9", "0", rowid)",
                            R"(SELECT "13", "14" FROM "档案" WHERE "9" BETWEEN ? AND ?)",
                            R"(SELECT rowid, "0", "1", "2", "9", "名称" FROM "档案" WHERE "0" LIKE ? ESCAPE '\' AND "9" BETWEEN ? AND ? ORDER BY "名称" DESC, rowid DESC)"}) {
        Statement st = records.prepare(std::string("EXPLAIN QUERY PLAN ") + sql);
        std::printf("-- %s\n", sql);
        while (st.next())
            std::printf("   %s\n", qPrintable(st.text("detail")));
    }
    std::fflush(stdout);
}

// 查  询 in the log window for a month: the query, the list filled, the visible lines built.
void BM_LogWindowMonth(benchmark::State& state)
{
    SettingsCopy settings(g_store->settings());
    CountingSink messages;
    NoUrls urls;
    FixedClock clock(QDateTime(kLastDay, QTime(17, 0)));
    AppContext context(*g_store, settings, messages, urls, clock);
    test::ScriptedFileDialog dialog;
    OutpatientLogWindow window(context, dialog);
    window.show();
    auto* from = window.findChild<QLineEdit*>(QStringLiteral("logFromDate"));
    auto* to = window.findChild<QLineEdit*>(QStringLiteral("logToDate"));
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate start = monthStart(n * 7);
        from->setText(isoDate(start));
        to->setText(isoDate(start.addMonths(1).addDays(-1)));
        window.query();
        QAbstractItemModel* model = window.list()->model();
        for (int i = 0; i < 40 && i < model->rowCount(); ++i)
            benchmark::DoNotOptimize(model->index(i, 0).data());
        rows += model->rowCount();
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
    if (messages.count)
        state.SkipWithError("a message was shown");
}
BENCHMARK(BM_LogWindowMonth)->Unit(benchmark::kMillisecond);

void BM_StatisticsYear(benchmark::State& state)
{
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QDate start = kFirstDay.addYears(n % 10);
        const Statistics s = computeStatistics(g_store->records(), isoDate(start), isoDate(start.addYears(1).addDays(-1)));
        if (!s.ok)
            state.SkipWithError("statistics failed");
        rows += s.prescriptions;
        benchmark::DoNotOptimize(s);
        ++n;
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StatisticsYear)->Unit(benchmark::kMillisecond);

// Ten thousand visits (a little over a month) written as a workbook; the query is not timed.
void BM_ExportTenThousand(benchmark::State& state)
{
    LogQuery log = queryOutpatientLog(g_store->records(), isoDate(kFirstDay), isoDate(kFirstDay.addMonths(3)));
    if (log.rows.size() < 10000) {
        state.SkipWithError("too few visits");
        return;
    }
    log.rows.resize(10000);
    QTemporaryDir dir;
    for (auto _ : state) {
        if (!writeLogWorkbook(dir.filePath(QStringLiteral("log.xlsx")), log.rows))
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportTenThousand)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // A benchmark, not the program: it may pick its platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_store = openLogBenchStore();
    if (!g_store) {
        std::fprintf(stderr, "could not set up the benchmark database in %s\n", qPrintable(kLogBenchFolder));
        return 1;
    }
    printPlans(*g_store->records());
    benchmark::RunSpecifiedBenchmarks();
    g_store.reset();
    return 0;
}
