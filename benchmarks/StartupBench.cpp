// Start-up with both files present: from nothing to the login password read.
#include "DataStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

static void BM_StartupWithBothFilesPresent(benchmark::State& state)
{
    QTemporaryDir dir;
    const auto paths = qelvaro::AppPaths::inFolder(dir.path());
    {
        qelvaro::DataStore first(paths);
        first.open();
    }
    for (auto _ : state) {
        qelvaro::DataStore store(paths);
        if (!store.open() || !store.loginPassword())
            state.SkipWithError("start-up failed");
        benchmark::DoNotOptimize(store.loginPassword());
    }
}
BENCHMARK(BM_StartupWithBothFilesPresent)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
