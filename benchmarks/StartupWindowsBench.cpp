// The program's start on a busy clinic's data (RecordBenchDatabase.h), offscreen: (a) from
// nothing to the login window shown, as a new process would (the data store opened, the login
// built); (b) from the typed password to the main window shown, with its start-up queries (the
// drug list, the history templates, every record of the last month) and the new prescription.
#include "Application.h"
#include "Clock.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "RecordBenchDatabase.h"
#include "UrlOpener.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWindow>

#include <cstdio>

using namespace qelvaro;

namespace {

class CountingSink : public MessageSink {
public:
    void tell(const QString& text, const QString&) override { texts << text; }
    bool ask(const QString& text, const QString&) override
    {
        texts << text;
        return false;
    }
    QStringList texts;
};

class NoUrls : public UrlOpener {
public:
    bool open(const QUrl&) override { return true; }
};

// The last day of the data, late in the afternoon: the month before it holds ~8,500 records.
const QDateTime kNow(bench::kLastDay, QTime(17, 0));

bool waitUntilExposed(QWidget* window)
{
    QElapsedTimer timer;
    timer.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (timer.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

struct Program {
    CountingSink messages;
    NoUrls urls;
    FixedClock clock{kNow};
    Application app{AppPaths::inFolder(bench::kRecordBenchFolder), messages, urls, clock};
};

void BM_StartToLoginShown(benchmark::State& state)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto program = std::make_unique<Program>();
        program->app.start();
        if (!waitUntilExposed(program->app.loginWindow())) {
            state.SkipWithError("the login window was not shown");
            break;
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (!program->messages.texts.isEmpty()) {
            state.SkipWithError(qPrintable(program->messages.texts.join(u' ')));
            break;
        }
    }
}
BENCHMARK(BM_StartToLoginShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_LoginToMainWindowShown(benchmark::State& state)
{
    qint64 listed = 0;
    for (auto _ : state) {
        auto program = std::make_unique<Program>();
        program->app.start();
        LoginWindow* login = program->app.loginWindow();
        if (!waitUntilExposed(login)) {
            state.SkipWithError("the login window was not shown");
            break;
        }
        auto* entry = login->findChild<QLineEdit*>();

        QElapsedTimer timer;
        timer.start();
        QTest::keyClicks(entry, QStringLiteral("586"));
        QTest::keyClick(entry, Qt::Key_Return);
        MainWindow* main = program->app.mainWindow();
        if (!main || !waitUntilExposed(main)) {
            state.SkipWithError("the main window was not shown");
            break;
        }
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        listed = main->recordList()->model()->rowCount();
    }
    state.counters["listed"] = double(listed);
}
BENCHMARK(BM_LoginToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The offscreen platform says at every window what it cannot do; that is no result.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtWarningMsg && text.startsWith(u"This plugin does not support"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

int main(int argc, char** argv)
{
    // A benchmark, not the program: it may pick its platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    {
        // Built once if missing (by this or by RecordBench), then closed: each run opens it afresh.
        QStringList names;
        if (!bench::openRecordBenchStore(&names)) {
            std::fprintf(stderr, "could not build the benchmark database in %s\n",
                         qPrintable(bench::kRecordBenchFolder));
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
