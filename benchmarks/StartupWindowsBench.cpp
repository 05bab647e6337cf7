// The program's start on a busy clinic's data (RecordBenchDatabase.h), offscreen: (a) from
// nothing to the login window shown, as a new process would (the data store opened, the login
// built); (b) from the typed password to the main window shown, with its start-up queries (the
// drug list, the history templates, every record of the last month) and the new prescription.
#include "Application.h"
#include "Clock.h"
#include "FixedClock.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "WindowHelpers.h"
#include "MessageSink.h"
#include "Pinyin.h"
#include "RecordBenchDatabase.h"
#include "UrlOpener.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
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

// A program logged in on the benchmark data, its main window shown; optionally once the
// background indexes are read.
std::unique_ptr<Program> loggedIn(benchmark::State& state, bool indexesRead)
{
    auto program = std::make_unique<Program>();
    program->app.start();
    LoginWindow* login = program->app.loginWindow();
    if (!waitUntilExposed(login)) {
        state.SkipWithError("the login window was not shown");
        return nullptr;
    }
    auto* entry = login->findChild<QLineEdit*>();
    QTest::keyClicks(entry, QStringLiteral("586"));
    QTest::keyClick(entry, Qt::Key_Return);
    MainWindow* main = program->app.mainWindow();
    if (!main || !waitUntilExposed(main)) {
        state.SkipWithError("the main window was not shown");
        return nullptr;
    }
    QElapsedTimer timer;
    timer.start();
    while (indexesRead && program->app.context().searchIndexes.isLoading() && timer.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return program;
}

QStringList g_names;

// Typed as a user would: ASCII as keys, Chinese as an input method commits it.
void type(QWidget* box, const QString& text)
{
    if (!text.isEmpty() && text[0].unicode() >= 0x80) {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
    } else {
        QTest::keyClicks(box, text);
    }
}

// The last character typed into the name field, to the patient popup shown and painted: /0 two
// characters of a name, /1 two pinyin initials, /2 a birth year, /3 the first two digits of one,
// which nearly every patient's key holds.
void BM_PatientPopupShown(benchmark::State& state)
{
    const std::unique_ptr<Program> program = loggedIn(state, true);
    if (!program)
        return;
    MainWindow* main = program->app.mainWindow();
    QLineEdit* name = main->headingBox(HeadingField::Name);
    RowList* popup = main->patientPopup();
    name->setFocus();
    int n = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        const QString patient = g_names[(n * 37) % g_names.size()];
        const QString year = QString::number(1930 + n % 90);
        const QString typed = state.range(0) == 0   ? patient.left(2)
                              : state.range(0) == 1 ? pinyinCode(patient).left(2)
                              : state.range(0) == 2 ? year
                                                    : year.left(2);
        state.PauseTiming();
        name->clear();
        type(name, typed.chopped(1));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        type(name, typed.right(1));
        popup->repaint();
        if (!popup->isVisible()) {
            state.SkipWithError(qPrintable(QStringLiteral("no popup for ") + typed));
            break;
        }
        rows += popup->count();
        ++n;
    }
    static const char* labels[] = {"name", "pinyin", "birth year", "two digits"};
    state.SetLabel(labels[state.range(0)]);
    state.counters["rows"] = benchmark::Counter(double(rows), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PatientPopupShown)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// 保存 of a new prescription as the first save of a fresh start, the list of the patient's five
// years shown after it: /0 as soon as the main window shows (its indexes still being read), /1 once
// they are read.
void BM_FirstSaveAfterStart(benchmark::State& state)
{
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::unique_ptr<Program> program = loggedIn(state, state.range(0) == 1);
        if (!program)
            break;
        MainWindow* main = program->app.mainWindow();
        const QString key = main->recordKeyLabel()->text();
        main->headingBox(HeadingField::Name)->setText(g_names[(n++ * 37) % g_names.size()]);
        main->headingBox(HeadingField::Sex)->setText(QStringLiteral("男"));
        main->headingBox(HeadingField::Age)->setText(QStringLiteral("45岁"));
        main->body()->setPlainText(QStringLiteral("复方甘草片  100片\n    用法：3片 tid\n"));
        QAction* save = main->findChild<QAction*>(QStringLiteral("actionSave"));
        state.ResumeTiming();
        save->trigger();
        main->recordList()->repaint();
        state.PauseTiming();
        if (!program->messages.texts.isEmpty()) {
            state.SkipWithError(qPrintable(program->messages.texts.join(u' ')));
            break;
        }
        Database* records = program->app.context().store.records();
        Statement undo = records->prepare(R"(DELETE FROM "档案" WHERE "名称" = ?1)");
        undo.bind(1, key);
        undo.run();
        // The indexes are read to the end before the next start, as in a session.
        while (program->app.context().searchIndexes.isLoading())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstSaveAfterStart)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->Iterations(10);

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
        if (!bench::openRecordBenchStore(&g_names)) {
            std::fprintf(stderr, "could not build the benchmark database in %s\n",
                         qPrintable(bench::kRecordBenchFolder));
            return 1;
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
