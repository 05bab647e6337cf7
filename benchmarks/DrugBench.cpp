// The drug search on a large catalogue: a hundred thousand drugs. Each keystroke in the search box
// (or in a name cell of the infusion card) runs the query and refills the list; the goal is 5 ms
// for both together. The database is built
// once under /tmp and kept for later runs; its indexes are brought in line with the template's on
// every start.
#include "AppContext.h"
#include "Clock.h"
#include "DataStore.h"
#include "DrugQueries.h"
#include "InfusionCardWindow.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "Pinyin.h"
#include "RowList.h"
#include "SearchIndexes.h"
#include "SettingsCopy.h"
#include "UrlOpener.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>

using namespace qelvaro;
using namespace Qt::StringLiterals;

namespace {

constexpr int kDrugs = 100'000;
const QString kFolder = QStringLiteral("/tmp/qelvaro-drugbench");

class SilentSink : public MessageSink {
public:
    void tell(const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return false; }
};

struct Data {
    std::unique_ptr<DataStore> store;
    std::unique_ptr<SearchIndexes> indexes;
    QStringList codes;  // some stored codes, to type their beginnings
};
Data* g_data = nullptr;

QString makeDrugName(std::mt19937& rng)
{
    static const QString stems = QStringLiteral(
        "阿莫西林头孢克洛曲松呋辛氨苄青霉素红霉罗阿奇克拉维酸钾甲硝唑替硝左氧氟沙星环丙诺美洛培南万古硫酸庆大"
        "布洛芬对乙酰氨基酚双氯酸钠吲哚美辛硝苯地平氨氯缬沙坦厄贝卡托普利美托洛尔阿司匹林氢化可的松地塞米松泼尼松"
        "奥拉唑兰索雷尼替丁法莫铝碳镁多潘立酮莫必利蒙脱石葡萄糖氯化钠钾维生素复合辅酶清开灵板蓝根连花瘟感冒");
    static const QStringList forms{u"片"_s, u"胶囊"_s, u"注射液"_s, u"颗粒"_s, u"口服液"_s, u"软膏"_s, u"缓释片"_s, u"分散片"_s};
    static const QStringList amounts{u"10mg*30"_s, u"0.25g*24"_s, u"100ml"_s, u"250ml"_s, u"1g"_s, u"10ml*10"_s, u"5mg*14"_s};
    std::uniform_int_distribution<int> stem(0, int(stems.size()) - 1), length(2, 5);
    QString name;
    for (int i = length(rng); i > 0; --i)
        name += stems[stem(rng)];
    name += forms[std::uniform_int_distribution<int>(0, int(forms.size()) - 1)(rng)];
    name += u"  "_s + amounts[std::uniform_int_distribution<int>(0, int(amounts.size()) - 1)(rng)];
    // A third of the entries carry their usage.
    if (std::uniform_int_distribution<int>(0, 2)(rng) == 0)
        name += u"\\1片 tid"_s;
    return name;
}

bool fillDatabase(Database& db, std::mt19937& rng)
{
    static const QStringList categories{u"抗生素"_s, u"输液"_s,     u"心血管"_s, u"呼吸"_s,   u"消化"_s,
                                        u"神经"_s,   u"内分泌"_s,   u"解热镇痛"_s, u"维生素激素"_s, u"外用"_s,
                                        u"中成药"_s, u"其他"_s,     u"中药"_s};
    Transaction transaction(db);
    if (!db.exec(R"(DELETE FROM "药品")"))
        return false;
    Statement insert = db.prepare(R"(INSERT INTO "药品" ("拼音", "名称", "分类") VALUES (?, ?, ?))");
    std::uniform_int_distribution<int> category(0, int(categories.size()) - 1);
    for (int i = 0; i < kDrugs; ++i) {
        const QString name = makeDrugName(rng);
        QString code = pinyinCode(name);
        if (code.isEmpty())
            code = u"x"_s;
        if (!insert.bindAll(code.left(50), name, categories[category(rng)]).run())
            return false;
    }
    return transaction.commit();
}

QHash<QString, QString> indexes(Database& db)
{
    QHash<QString, QString> result;
    Statement st = db.prepare("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL");
    while (st.next())
        result.insert(st.text(0), st.text(1));
    return result;
}

// The template's indexes, so the benchmark measures the schema as shipped.
bool matchTemplateIndexes(Database& bench)
{
    QTemporaryDir dir;
    DataStore fresh(AppPaths::inFolder(dir.path()));
    if (!fresh.open())
        return false;
    const auto wanted = indexes(*fresh.settings());
    const auto present = indexes(bench);
    for (auto it = present.begin(); it != present.end(); ++it)
        if (wanted.value(it.key()) != it.value()
            && !bench.exec(QStringLiteral("DROP INDEX \"%1\"").arg(it.key()).toStdString()))
            return false;
    for (auto it = wanted.begin(); it != wanted.end(); ++it)
        if (present.value(it.key()) != it.value() && !bench.exec(it.value().toStdString()))
            return false;
    return true;
}

void printPlans(Database& settings)
{
    for (const NamedQuery& q : DrugQueries::queries()) {
        Statement st = settings.prepare("EXPLAIN QUERY PLAN " + std::string(q.sql));
        std::printf("-- %s\n", q.name);
        while (st.next())
            std::printf("   %s\n", qPrintable(st.text("detail")));
    }
    std::fflush(stdout);
}

bool setUp()
{
    static Data data;
    QDir().mkpath(kFolder);
    data.store = std::make_unique<DataStore>(AppPaths::inFolder(kFolder));
    if (!data.store->open())
        return false;
    Database& db = *data.store->settings();
    qint64 stored = 0;
    {
        Statement count = db.prepare(R"(SELECT count(*) FROM "药品")");
        stored = count.next() ? count.integer(0) : 0;
    }
    if (stored != kDrugs) {
        std::printf("building %d drugs in %s ...\n", kDrugs, qPrintable(db.path()));
        std::fflush(stdout);
        QElapsedTimer timer;
        timer.start();
        std::mt19937 rng(20240305);
        if (!fillDatabase(db, rng))
            return false;
        std::printf("built in %.1f s\n", timer.elapsed() / 1000.0);
    }
    if (!matchTemplateIndexes(db))
        return false;
    printPlans(db);
    Statement sample = db.prepare(R"(SELECT "拼音" FROM "药品" WHERE rowid % 997 = 0)");
    while (sample.next())
        data.codes << sample.text(0);
    QElapsedTimer loading;
    loading.start();
    data.indexes = std::make_unique<SearchIndexes>();
    data.indexes->loadNow(nullptr, &db);
    std::printf("drug index of %d rows read in %lld ms\n", data.indexes->drugs() ? data.indexes->drugs()->size() : -1,
                qint64(loading.elapsed()));
    g_data = &data;
    return true;
}

// What the doctor types: the first `letters` letters of a stored code (the more letters, the
// fewer matches), or with 0 letters one no code holds (the whole table read, nothing found).
QString typed(int n, int letters)
{
    if (letters == 0)
        return n % 2 ? u"v"_s : u"vv"_s;  // no pinyin initial is v
    return g_data->codes[n % g_data->codes.size()].left(letters);
}

const char* typedLabel(int letters)
{
    static const char* labels[] = {"no match", "1 letter", "2 letters", "3 letters", "4 letters"};
    return labels[letters];
}

// The program's search (the drug index) and the SQL it falls back on while the index loads.
void drugSearch(benchmark::State& state, const SearchIndexes* indexes)
{
    const DrugQueries queries(g_data->store->settings(), indexes);
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QList<CatalogueEntry> found = queries.searchDrugs(typed(n++, int(state.range(0))));
        rows += found.size();
        benchmark::DoNotOptimize(found);
    }
    state.SetLabel(typedLabel(int(state.range(0))));
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
void BM_DrugSearchQuery(benchmark::State& state) { drugSearch(state, g_data->indexes.get()); }
BENCHMARK(BM_DrugSearchQuery)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
void BM_DrugSearchSql(benchmark::State& state) { drugSearch(state, nullptr); }
BENCHMARK(BM_DrugSearchSql)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// The main window shown over the benchmark catalogue, its drug index read.
struct ShownMainWindow {
    ShownMainWindow()
    {
        context.searchIndexes.loadNow(nullptr, g_data->store->settings());
        window.show();
        QApplication::processEvents();
    }
    SettingsCopy settings{g_data->store->settings()};
    SilentSink messages;
    DesktopUrlOpener urls;
    SystemClock clock;
    AppContext context{*g_data->store, settings, messages, urls, clock};
    MainWindow window{context};
};

// One keystroke in the real search box: the change handler's query, the list refilled, and the
// list laid out and painted by the event loop.
void BM_DrugSearchKeystroke(benchmark::State& state)
{
    ShownMainWindow shown;
    MainWindow& window = shown.window;
    QLineEdit* search = window.drugSearchBox();
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        // Each keystroke changes the text, as typing does.
        QString text = typed(n++, int(state.range(0)));
        while (text == search->text())
            text = typed(n++, int(state.range(0)));
        search->setText(text);
        QApplication::processEvents();
        rows += window.drugList()->count();
    }
    state.SetLabel(typedLabel(int(state.range(0))));
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrugSearchKeystroke)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// One letter typed into a name cell of the infusion card: every drug whose code holds it (no
// limit: most of the catalogue), until the drop list is laid out and painted by the event loop.
void BM_InfusionCardDropList(benchmark::State& state)
{
    ShownMainWindow shown;
    InfusionCardWindow card(shown.window, shown.context);
    card.open();
    QApplication::processEvents();
    QLineEdit* cell = card.cell(kNameColumn, 0);
    static const QStringList letters{u"a"_s, u"z"_s, u"x"_s, u"q"_s, u"s"_s, u"l"_s, u"j"_s, u"h"_s};
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        cell->setText(letters[n++ % letters.size()]);
        QApplication::processEvents();
        if (!card.dropList()->isVisible())
            state.SkipWithError("the drop list is not shown");
        rows += card.dropList()->count();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_InfusionCardDropList)->Unit(benchmark::kMillisecond);

// A category button of the main window: its query, the list refilled, laid out and painted.
void BM_CategoryClick(benchmark::State& state)
{
    ShownMainWindow shown;
    MainWindow& window = shown.window;
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        // The drug categories, one after another.
        window.categoryButton(n++ % 13)->click();
        QApplication::processEvents();
        rows += window.drugList()->count();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CategoryClick)->Unit(benchmark::kMillisecond);

// A category button: every drug of the category, no limit (about 7700 rows each).
void BM_CategoryFill(benchmark::State& state)
{
    const DrugQueries queries(g_data->store->settings());
    for (auto _ : state) {
        const QList<CatalogueEntry> found = queries.drugsOfCategory(u"中药"_s);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_CategoryFill)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // The window is measured without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (!setUp()) {
        std::fprintf(stderr, "could not build the benchmark database in %s\n", qPrintable(kFolder));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
