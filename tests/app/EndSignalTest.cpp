#include "Application.h"
#include "DataStore.h"
#include "InfusionCardWindow.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "MessageBoxSink.h"
#include "RunningProgram.h"
#include "TestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/types.h>
#include <unistd.h>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// The folder's lock is free: a next copy of the program could start on it.
bool lockReleased(const AppPaths& paths)
{
    DataStore next(paths);
    return next.open() && !next.isInUseElsewhere();
}

bool backupWritten(const AppPaths& paths)
{
    const QString data = paths.backupRoot() + QStringLiteral("/5日/档案数据库");
    return QFile::exists(data + QStringLiteral("/档案.dat")) && QFile::exists(data + QStringLiteral("/设置.dat"));
}

// What the program writes to standard error meanwhile, read back at the end.
class StandardErrorCapture {
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        if (m_file.open())
            ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StandardErrorCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
    QString text() const
    {
        std::fflush(stderr);
        return QString::fromUtf8(readFile(m_file.fileName()));
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

// The program itself, copied into a fresh program folder and run offscreen.
struct ChildProgram {
    QTemporaryDir folder;
    QProcess process;

    bool start()
    {
        const QString executable = folder.path() + QStringLiteral("/qelvaro");
        if (!QFile::copy(QStringLiteral(QELVARO_EXECUTABLE), executable))
            return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(executable, {});
        if (!process.waitForStarted())
            return false;
        // The lock is taken after the signal handlers are in place.
        const QString lock = folder.path() + QStringLiteral("/档案数据库/") + DataStore::kLockFileName;
        QDeadlineTimer deadline(20000);
        while (!QFile::exists(lock) && !deadline.hasExpired())
            QTest::qWait(20);
        return QFile::exists(lock);
    }
    void send(int signalNumber) { ::kill(static_cast<pid_t>(process.processId()), signalNumber); }
    AppPaths paths() const { return AppPaths::inFolder(folder.path()); }
};

}  // namespace

class EndSignalTest : public QObject {
    Q_OBJECT
private slots:
    void signalClosesAsTheCloseButton_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("backupFails");
        QTest::newRow("SIGTERM") << SIGTERM << false;
        QTest::newRow("SIGINT") << SIGINT << false;
        QTest::newRow("SIGHUP") << SIGHUP << false;
        QTest::newRow("SIGTERM, the backup fails") << SIGTERM << true;
    }

    // Windows close through their own close (the card keeps its margins), the backup is made and
    // the lock goes. Nobody is there to answer a box: what the close would show goes to standard
    // error, a line a message.
    void signalClosesAsTheCloseButton()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, backupFails);
        RunningProgram p;
        p.logIn();
        QSignalSpy finished(p.app.get(), &Application::finished);
        QTest::mouseClick(p.main().cardButton(CardButton::InfusionCard), Qt::LeftButton);
        InfusionCardWindow* card = p.app->infusionCardWindow();
        QVERIFY(card && card->isVisible());
        card->leftMarginBox()->setText(QStringLiteral("15"));
        if (backupFails)
            writeFile(p.folder.paths().backupRoot(), "in the way");

        QString written;
        {
            const StandardErrorCapture standardError;
            std::raise(signalNumber);
            QTRY_COMPARE(finished.count(), 1);
            written = standardError.text();
        }
        QVERIFY(!p.main().isVisible());
        QVERIFY(!card->isVisible());
        QVERIFY(!p.app->store().records()->isOpen());
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));
        const QString line = QStringLiteral("qelvaro: 数据备份未完成： 无法创建备份文件夹“%1”\n").arg(p.folder.paths().backupRoot());
        QVERIFY2(written.contains(line) == backupFails, qPrintable(written));
        QCOMPARE(backupWritten(p.folder.paths()), !backupFails);
        QVERIFY(lockReleased(p.folder.paths()));
        DataStore reopened(p.folder.paths());
        QVERIFY(reopened.open());
        QCOMPARE(readOwnPrintSettings(reopened.settings(), 3)->left, QStringLiteral("15"));
    }

    // Before the login the program ends as closing the login window ends it: no backup.
    void signalAtTheLoginEndsWithoutBackup()
    {
        RunningProgram p;
        p.app->start();
        QSignalSpy finished(p.app.get(), &Application::finished);
        std::raise(SIGTERM);
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!p.app->loginWindow()->isVisible());
        QVERIFY(!p.app->mainWindow());
        QVERIFY(!QFileInfo::exists(p.folder.paths().backupRoot()));
        p.app.reset();  // the program ends
        QVERIFY(lockReleased(p.folder.paths()));
    }

    // A question open when the signal comes is left (answered no) and the close goes on.
    void signalDuringAQuestionLeavesIt_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("main window") << true;
        QTest::newRow("login window") << false;
    }

    void signalDuringAQuestionLeavesIt()
    {
        QFETCH(bool, loggedIn);
        RunningProgram p;
        if (loggedIn)
            p.logIn();
        else
            p.app->start();
        QSignalSpy finished(p.app.get(), &Application::finished);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QWidget* owner = loggedIn ? static_cast<QWidget*>(p.app->mainWindow()) : p.app->loginWindow();
        MessageBoxSink boxes(owner);
        QVERIFY(!boxes.ask(QStringLiteral("删除吗？")));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(backupWritten(p.folder.paths()), loggedIn);
        if (loggedIn)
            QVERIFY(lockReleased(p.folder.paths()));
    }

    // The program as it ships: a signal at the login ends it normally and frees its folder; a
    // second signal before the first is handled ends it at once, by that signal.
    void shippedProgramEndsOnASignal()
    {
        ChildProgram child;
        QVERIFY(child.start());
        child.send(SIGTERM);
        QVERIFY(child.process.waitForFinished(20000));
        QCOMPARE(child.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.process.exitCode(), 0);
        QVERIFY(lockReleased(child.paths()));
        QVERIFY(!QFileInfo::exists(child.paths().backupRoot()));
    }

    void secondSignalEndsAtOnce()
    {
        ChildProgram child;
        QVERIFY(child.start());
        child.send(SIGTERM);
        child.send(SIGINT);
        QVERIFY(child.process.waitForFinished(20000));
        QCOMPARE(child.process.exitStatus(), QProcess::CrashExit);
    }
};

QTEST_MAIN(EndSignalTest)
#include "EndSignalTest.moc"
