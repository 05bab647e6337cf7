// The drug window on a large catalogue: a hundred thousand drugs, from the database DrugBench
// builds under /tmp (run DrugBench once first). A category button and each keystroke in the search
// box run their query (answered by the drug index) and refill the list; goal 5 ms. A change of the name box recomputes the
// code box; goal 0.1 ms.
#include "AppContext.h"
#include "CatalogueWidgets.h"
#include "Clock.h"
#include "DataStore.h"
#include "DrugCatalogueWindow.h"
#include "MessageSink.h"
#include "SettingsCopy.h"
#include "UrlOpener.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>
#include <memory>

using namespace qelvaro;

namespace {

const QString kFolder = QStringLiteral("/tmp/qelvaro-drugbench");

class SilentSink : public MessageSink {
public:
    void tell(const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return false; }
};

struct Program {
    DataStore store{AppPaths::inFolder(kFolder)};
    std::unique_ptr<SettingsCopy> settings;
    SilentSink messages;
    DesktopUrlOpener urls;
    SystemClock clock;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<DrugCatalogueWindow> window;
};
Program* g_program = nullptr;

void BM_DrugWindowCategory(benchmark::State& state)
{
    DrugCatalogueWindow& window = *g_program->window;
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        window.categoryButton(n++ % 13)->click();
        QApplication::processEvents();
        rows += window.list()->count();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrugWindowCategory)->Unit(benchmark::kMillisecond);

// The category query alone, without the list: /0 by SQL, /1 by the drug index.
void BM_DrugWindowCategoryQuery(benchmark::State& state)
{
    const DrugStore drugs(g_program->store.settings(), nullptr,
                          state.range(0) ? &g_program->context->searchIndexes : nullptr);
    const QStringList captions = drugCategories();
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state)
        rows += drugs.containingCategory(captions[n++ % kDrugCategoryCount]).size();
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrugWindowCategoryQuery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrugWindowSearch(benchmark::State& state)
{
    DrugCatalogueWindow& window = *g_program->window;
    static const char* typed[] = {"a", "am", "amx", "tb", "tbk", "zzv"};
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        window.searchBox()->setText(QString::fromLatin1(typed[n++ % std::size(typed)]));
        QApplication::processEvents();
        rows += window.list()->count();
    }
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DrugWindowSearch)->Unit(benchmark::kMillisecond);

void BM_NameToCode(benchmark::State& state)
{
    DrugCatalogueWindow& window = *g_program->window;
    const QString names[] = {QStringLiteral("头孢氨苄颗粒 0.125g*12"), QStringLiteral("阿莫西林胶囊 0.25*24")};
    int n = 0;
    for (auto _ : state) {
        window.nameBox()->setText(names[n++ % 2]);
        benchmark::DoNotOptimize(window.codeBox()->text());
    }
}
BENCHMARK(BM_NameToCode)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Program program;
    if (!program.store.open()) {
        std::fprintf(stderr, "no benchmark database in %s: run DrugBench first\n", qPrintable(kFolder));
        return 1;
    }
    program.settings = std::make_unique<SettingsCopy>(program.store.settings());
    program.context = std::make_unique<AppContext>(program.store, *program.settings, program.messages, program.urls,
                                                   program.clock);
    // As in the program, where the drug index is read in the background after the main window shows.
    program.context->searchIndexes.loadNow(program.store.records(), program.store.settings());
    program.window = std::make_unique<DrugCatalogueWindow>(*program.context);
    program.window->open();
    QApplication::processEvents();
    g_program = &program;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
