#include "LoginWindow.h"
#include "ProgramFixture.h"
#include "SettingsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

struct Fixture : ProgramFixture {
    std::unique_ptr<SettingsWindow> window;

    bool open(const QString& password)
    {
        if (!opened)
            return false;
        Statement st = store.records()->prepare("UPDATE \"密码\" SET \"密码\" = ?");
        st.bind(1, password);
        if (!st.run())
            return false;
        window = std::make_unique<SettingsWindow>(context);
        window->show();
        return true;
    }
    QLineEdit* edit(const char* name) const { return window->findChild<QLineEdit*>(QString::fromUtf8(name)); }
    void change(const QString& oldPassword, const QString& newPassword) const
    {
        QTest::keyClicks(edit("oldPasswordEdit"), oldPassword);
        QTest::keyClicks(edit("newPasswordEdit"), newPassword);
        QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("changePasswordButton")), Qt::LeftButton);
    }
    // Whether the window was on screen as each message was shown.
    QList<bool> shownAtMessages;
    void watchTheWindow()
    {
        messages.onMessage = [this] { shownAtMessages << window->isVisible(); };
    }
    QString stored() const
    {
        Statement st = store.records()->prepare("SELECT \"密码\" FROM \"密码\"");
        return st.next() ? st.text(0) : QStringLiteral("<unreadable>");
    }
};

const QString kSuccess = QStringLiteral("修改密码成功，请牢记新密码！");

}  // namespace

class PasswordChangeTest : public QObject {
    Q_OBJECT

private slots:
    void change_data()
    {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("old in other case") << QStringLiteral("ABC") << QStringLiteral("xyz")
                                           << QStringLiteral("原密码不正确，无法修改密码！") << QStringLiteral("abc");
        QTest::newRow("old wrong") << QStringLiteral("ab") << QStringLiteral("xyz")
                                   << QStringLiteral("原密码不正确，无法修改密码！") << QStringLiteral("abc");
        QTest::newRow("old with blanks") << QStringLiteral(" abc ") << QStringLiteral("xyz") << kSuccess
                                         << QStringLiteral("xyz");
        QTest::newRow("new empty") << QStringLiteral("abc") << QString() << QStringLiteral("请输入新密码！")
                                   << QStringLiteral("abc");
        QTest::newRow("new blanks only") << QStringLiteral("abc") << QStringLiteral("   ")
                                         << QStringLiteral("请输入新密码！") << QStringLiteral("abc");
        QTest::newRow("new with blanks") << QStringLiteral("abc") << QStringLiteral(" xyz ") << kSuccess
                                         << QStringLiteral("xyz");
    }

    void change()
    {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, message);
        QFETCH(QString, storedAfter);
        Fixture f;
        QVERIFY(f.open(QStringLiteral("abc")));
        typeText(f.edit("doctorEdit"), QStringLiteral("乙"));  // an unsaved edit elsewhere
        f.window->move(37, 41);
        f.watchTheWindow();

        f.change(oldPassword, newPassword);
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.stored(), storedAfter);
        const bool succeeded = message == kSuccess;
        // Only the refusal of an empty new password leaves the window on screen behind its message.
        QCOMPARE(f.shownAtMessages, QList<bool>{message == QStringLiteral("请输入新密码！")});
        QCOMPARE(f.window->isVisible(), !succeeded);
        if (succeeded) {
            // The window is gone and its unsaved edits with it.
            QVERIFY(!f.settings.isLoaded());
            QCOMPARE(f.settings.values().doctor, QStringLiteral("林志远"));
        } else {
            QCOMPARE(f.window->pos(), QPoint(37, 41));
            QCOMPARE(f.edit("oldPasswordEdit")->text(), oldPassword);
            QCOMPARE(f.edit("newPasswordEdit")->text(), newPassword);
            QCOMPARE(f.settings.values().doctor, QStringLiteral("林志远乙"));
        }
    }

    void passwordBoxesShowTheirTextAndTakeFifteen()
    {
        Fixture f;
        QVERIFY(f.open(QStringLiteral("586")));
        for (const char* name : {"oldPasswordEdit", "newPasswordEdit"}) {
            QLineEdit* box = f.edit(name);
            QCOMPARE(box->echoMode(), QLineEdit::Normal);
            QTest::keyClicks(box, QStringLiteral("abcdefghijklmnopqrst"));
            QCOMPARE(box->text(), QStringLiteral("abcdefghijklmno"));
            // A paste keeps its first line, tabs as blanks: a line break could never be typed at
            // the login.
            box->clear();
            box->setFocus();
            QGuiApplication::clipboard()->setText(QStringLiteral("ab\tc\r\nde"));
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(box->text(), QStringLiteral("ab c"));
        }
    }

    void newPasswordAppliesAtTheNextStart()
    {
        Fixture f;
        QVERIFY(f.open(QStringLiteral("586")));
        f.change(QStringLiteral("586"), QStringLiteral("Neu7"));
        QCOMPARE(f.messages.texts(), QStringList{kSuccess});
        f.store.close();

        DataStore restarted(f.folder.paths());
        QVERIFY(restarted.open());
        QCOMPARE(restarted.loginPassword().value_or(QString()), QStringLiteral("Neu7"));
        MessageRecorder messages;
        LoginWindow login(restarted.loginPassword(), messages);
        login.show();
        QVERIFY(!login.findChild<QLabel*>(QStringLiteral("initialPasswordHint"))->isVisible());
        QSignalSpy accepted(&login, &LoginWindow::accepted);
        auto* entry = login.findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QTest::keyClicks(entry, QStringLiteral("586"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("密码错误！")});
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("neu7"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(accepted.size(), 1);
    }

    void changingBackToTheInitialPasswordShowsTheHint()
    {
        Fixture f;
        QVERIFY(f.open(QStringLiteral("abc")));
        f.change(QStringLiteral("abc"), QStringLiteral("586"));
        QCOMPARE(f.messages.texts(), QStringList{kSuccess});
        f.store.close();
        DataStore restarted(f.folder.paths());
        QVERIFY(restarted.open());
        MessageRecorder messages;
        LoginWindow login(restarted.loginPassword(), messages);
        login.show();
        QVERIFY(login.findChild<QLabel*>(QStringLiteral("initialPasswordHint"))->isVisible());
    }

    void failuresAreToldAndChangeNothing_data()
    {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("table gone") << QStringLiteral("DROP TABLE \"密码\"")
                                    << QStringLiteral("无法读取原密码，无法修改密码！") << QStringLiteral("<unreadable>");
        QTest::newRow("no password row") << QStringLiteral("DELETE FROM \"密码\"")
                                         << QStringLiteral("无法读取原密码，无法修改密码！") << QStringLiteral("<unreadable>");
        QTest::newRow("write refused")
            << QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON \"密码\" BEGIN SELECT RAISE(ABORT, 'no'); END")
            << QStringLiteral("新密码保存失败，原密码仍然有效！") << QStringLiteral("abc");
    }

    void failuresAreToldAndChangeNothing()
    {
        QFETCH(QString, sabotage);
        QFETCH(QString, message);
        QFETCH(QString, storedAfter);
        Fixture f;
        QVERIFY(f.open(QStringLiteral("abc")));
        QVERIFY(f.store.records()->exec(sabotage.toUtf8().toStdString()));
        f.watchTheWindow();
        f.change(QStringLiteral("abc"), QStringLiteral("xyz"));
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.shownAtMessages, QList<bool>{false});
        QVERIFY(f.window->isVisible());
        QVERIFY(f.settings.isLoaded());
        QCOMPARE(f.stored(), storedAfter);
    }

    void closedRecordsDatabaseIsTold()
    {
        Fixture f;
        QVERIFY(f.open(QStringLiteral("abc")));
        f.store.close();
        f.change(QStringLiteral("abc"), QStringLiteral("xyz"));
        QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("档案数据库未打开，无法修改密码！")});
        QVERIFY(f.window->isVisible());
    }
};

QTEST_MAIN(PasswordChangeTest)
#include "PasswordChangeTest.moc"
