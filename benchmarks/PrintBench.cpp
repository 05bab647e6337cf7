// The sheet print of a full prescription from the real main window: to a PDF file through the
// printer path, to a print queue whose job takes its time, and recorded (the page arithmetic
// alone). Runs offscreen.
#include "AppContext.h"
#include "AppPaths.h"
#include "Clock.h"
#include "FixedClock.h"
#include "DataStore.h"
#include "Fonts.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "PrintCommands.h"
#include "PrintQueue.h"
#include "PrintTarget.h"
#include "RecordingSink.h"
#include "ScriptedFileDialog.h"
#include "SettingsCopy.h"
#include "UrlOpener.h"
#include "WindowHelpers.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMap>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace qelvaro;

namespace {

class SilentMessages : public MessageSink {
public:
    void tell(const QString&, const QString&) override {}
    bool ask(const QString&, const QString&) override { return false; }
};

class NoUrls : public UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

// Every shown field filled and a body of twenty lines: five drug groups of four.
struct Bench {
    QTemporaryDir folder;
    DataStore store{AppPaths::inFolder(folder.path())};
    bool opened = store.open();
    SettingsCopy settings{store.settings()};
    SilentMessages messages;
    test::ScriptedFileDialog fileDialog;
    NoUrls urls;
    FixedClock clock{QDateTime(QDate(2024, 3, 5), QTime(9, 30))};
    AppContext context{store, settings, messages, urls, clock};
    std::unique_ptr<MainWindow> window;
    PrintCommands* commands = nullptr;

    bool build(PrintTarget* target)
    {
        if (!opened)
            return false;
        context.printTarget = target;
        window = std::make_unique<MainWindow>(context);
        const QStringList values{u"张三"_qs,       u"男"_qs,       u"35岁"_qs,     u"自费"_qs, u"A2024030501"_qs, u"内科"_qs,
                                 u"青石镇西街12号"_qs, u"13900000000"_qs, u"上呼吸道感染"_qs, u"2024-03-05"_qs, u"林志远"_qs,
                                 u"周晓梅"_qs,     u"陈建华"_qs,   u"126.50"_qs,   u"5.00"_qs, u"青霉素"_qs, u"高血压"_qs};
        for (int i = 0; i < values.size(); ++i)
            window->headingBox(HeadingField(i))->setText(values[i]);
        QStringList body;
        for (int group = 0; group < 5; ++group)
            body << u"0.9%氯化钠注射液  250ml"_qs << u"注射用头孢曲松钠  2g"_qs << u"    用法：iv/gtt qd"_qs << QString();
        window->body()->setPlainText(body.join(u'\n'));
        commands = window->findChild<PrintCommands*>(u"printCommands"_qs);
        return commands != nullptr;
    }
};

void BM_SheetToPdf(benchmark::State& state)
{
    Bench bench;
    PdfTarget target(bench.folder.filePath(u"处方.pdf"_qs));
    if (!bench.build(&target)) {
        state.SkipWithError("the program folder could not be opened");
        return;
    }
    for (auto _ : state)
        if (!bench.commands->printSheet())
            state.SkipWithError("the PDF was not written");
}
BENCHMARK(BM_SheetToPdf)->Unit(benchmark::kMillisecond);

// A slow print service: each answer takes a fifth of a second, and every job then waits three
// seconds before it completes, as on a paused printer.
class SlowQueue : public PrintQueue {
public:
    Reply defaultPrinter(QString& name) override
    {
        QThread::msleep(200);
        name = u"诊室打印机"_qs;
        return Reply::Given;
    }
    Reply paper(const QString&, QPageLayout::Orientation, Paper&) override
    {
        QThread::msleep(200);
        return Reply::Given;
    }
    Reply createJob(const QString&, const QString&, const Paper&, int& jobId) override
    {
        QThread::msleep(200);
        jobId = ++m_lastId;
        return Reply::Given;
    }
    Delivery sendDocument(int jobId, const QString&, const QString&, const std::function<bool()>&) override
    {
        QThread::msleep(200);
        m_ends.insert(jobId, QDeadlineTimer(3000));
        return Delivery::Accepted;
    }
    Reply cancel(int) override { return Reply::Given; }
    JobState jobState(int id, const QString&) override
    {
        QThread::msleep(200);
        return m_ends.value(id).hasExpired() ? JobState::Completed : JobState::Waiting;
    }
    void interrupt() override {}

private:
    int m_lastId = 0;
    QMap<int, QDeadlineTimer> m_ends;  // touched on the print thread only
};

// The command gives the window back once the printout is drawn, within 25 ms, however long the
// service then takes to answer and the job to print.
void BM_PrintCommandReturns(benchmark::State& state)
{
    Bench bench;
    PrinterTarget target(bench.messages, bench.fileDialog, std::make_unique<SlowQueue>());
    if (!bench.build(&target)) {
        state.SkipWithError("the program folder could not be opened");
        return;
    }
    qint64 slowest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!bench.commands->printSheet())
            state.SkipWithError("the job was not handed over");
        slowest = std::max(slowest, clock.elapsed());
    }
    state.counters["slowest_ms"] = double(slowest);
    state.counters["jobs_waiting"] = target.followedJobs();
    if (slowest > 25)
        state.SkipWithError("a print command took more than 25 ms");
}
BENCHMARK(BM_PrintCommandReturns)->Unit(benchmark::kMillisecond);

void BM_SheetRecorded(benchmark::State& state)
{
    Bench bench;
    RecordingTarget target;
    if (!bench.build(&target)) {
        state.SkipWithError("the program folder could not be opened");
        return;
    }
    for (auto _ : state) {
        bench.commands->printSheet();
        target.jobs.clear();
    }
}
BENCHMARK(BM_SheetRecorded)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
