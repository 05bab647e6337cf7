// The body's hot paths: the injection card is rebuilt on every keystroke in the body, and a drug
// or herb insertion rewrites the body; both on a long body of 300 lines.

#include "BodyText.h"
#include "InjectionCardText.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

// 75 groups of four lines: two drug lines, a usage line (infusion and oral by turns), an empty line.
QString body300Lines(const QString& lineBreak)
{
    QString body;
    for (int group = 0; group < 75; ++group) {
        body += QStringLiteral("0.9%氯化钠注射液  100ml") + lineBreak;
        body += QStringLiteral("注射用头孢曲松钠  1g") + lineBreak;
        body += (group % 2 ? QStringLiteral("    用法：3片 tid") : QStringLiteral("    用法：2g iv/gtt qd")) +
                lineBreak + lineBreak;
    }
    return body;
}

void BM_InjectionCardRebuild(benchmark::State& state)
{
    const QString body = body300Lines(QStringLiteral("\r\n"));
    for (auto _ : state) {
        QString card = qelvaro::injectionCardText(body);
        benchmark::DoNotOptimize(card);
    }
}
BENCHMARK(BM_InjectionCardRebuild)->Unit(benchmark::kMicrosecond);

void BM_InsertDrug(benchmark::State& state)
{
    const QString body = body300Lines(QStringLiteral("\n"));
    const QString entry = QStringLiteral("清开灵口服液  10ml*10\\10ml tid");
    for (auto _ : state) {
        qelvaro::BodyEdit edit = qelvaro::insertDrug(body, entry);
        benchmark::DoNotOptimize(edit);
    }
}
BENCHMARK(BM_InsertDrug)->Unit(benchmark::kMicrosecond);

void BM_InsertHerbAtEnd(benchmark::State& state)
{
    const QString body = body300Lines(QStringLiteral("\n"));
    const int end = int(body.size());
    const QString herb = QStringLiteral("独活 10g");
    qelvaro::herbCell(herb);  // builds the code-page table outside the timing
    for (auto _ : state) {
        qelvaro::BodyEdit edit = qelvaro::insertHerb(body, end, end, herb);
        benchmark::DoNotOptimize(edit);
    }
}
BENCHMARK(BM_InsertHerbAtEnd)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
