// Characters per second of pinyinCode: a long mixed text scanned to its end (no blank), and a
// name as a catalogue window recomputes it on every keystroke.

#include "Pinyin.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

QString mixedText(qsizetype atLeast)
{
    // Chinese, Latin, digits, ASCII and full-width punctuation, an emoji; no ASCII blank.
    const QString piece = QStringLiteral(
        u"阿莫西林胶囊0.25g*24粒，头孢克肟Cefixime100mg（5%葡萄糖250ml）"
        u"藿香正气水10ml×10支；上呼吸道感染、急性支气管炎。维生素B1片😀复方丹参滴丸");
    QString text;
    text.reserve(atLeast + piece.size());
    while (text.size() < atLeast)
        text += piece;
    return text;
}

void BM_PinyinCodeLongText(benchmark::State& state)
{
    const QString text = mixedText(state.range(0));
    qelvaro::pinyinCode(text);  // builds the table outside the timing
    for (auto _ : state) {
        QString code = qelvaro::pinyinCode(text);
        benchmark::DoNotOptimize(code);
    }
    state.SetItemsProcessed(state.iterations() * text.size());
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(char16_t)));
}
BENCHMARK(BM_PinyinCodeLongText)->Arg(1 << 10)->Arg(1 << 20);

void BM_PinyinCodeName(benchmark::State& state)
{
    const QString name = QStringLiteral(u"清开灵口服液10ml*10");
    qelvaro::pinyinCode(name);
    for (auto _ : state) {
        QString code = qelvaro::pinyinCode(name);
        benchmark::DoNotOptimize(code);
    }
    state.SetItemsProcessed(state.iterations() * name.size());
}
BENCHMARK(BM_PinyinCodeName);

}  // namespace

BENCHMARK_MAIN();
