#include "LoginWindow.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace qelvaro;
using namespace qelvaro::test;

Q_DECLARE_METATYPE(std::optional<QString>)

class LoginWindowTest : public QObject {
    Q_OBJECT

private slots:
    void confirm_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("admitted");
        using Opt = std::optional<QString>;
        QTest::newRow("template password") << Opt(QStringLiteral("586")) << QStringLiteral("586") << true;
        QTest::newRow("blanks around the entry") << Opt(QStringLiteral("586")) << QStringLiteral(" 586 ") << true;
        QTest::newRow("blanks around the stored") << Opt(QStringLiteral(" 586")) << QStringLiteral("586") << true;
        QTest::newRow("case ignored") << Opt(QStringLiteral("abc")) << QStringLiteral("ABC") << true;
        QTest::newRow("wrong") << Opt(QStringLiteral("586")) << QStringLiteral("587") << false;
        QTest::newRow("empty entry") << Opt(QStringLiteral("586")) << QString() << false;
        QTest::newRow("no stored password, empty entry") << Opt() << QString() << false;
        QTest::newRow("no stored password, template entry") << Opt() << QStringLiteral("586") << false;
    }

    // A refused entry is told why: a wrong password, or data that admits nobody.

    void confirm()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(QString, typed);
        QFETCH(bool, admitted);
        MessageRecorder messages;
        LoginWindow window(stored, messages);
        window.show();
        QSignalSpy accepted(&window, &LoginWindow::accepted);
        QSignalSpy cancelled(&window, &LoginWindow::cancelled);

        auto* entry = window.findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QVERIFY(entry);
        QTest::keyClicks(entry, typed);
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("confirmButton")), Qt::LeftButton);

        QCOMPARE(accepted.size(), admitted ? 1 : 0);
        QCOMPARE(window.isVisible(), !admitted);
        const QString refusal = stored ? QStringLiteral("密码错误！") : kLoginClosedMessage;
        QCOMPARE(messages.texts(), admitted ? QStringList() : QStringList{refusal});
        if (!admitted) {
            QCOMPARE(messages.messages.first().title, QStringLiteral("提示"));
            QCOMPARE(entry->text(), typed);
        }
        QCOMPARE(cancelled.size(), 0);
    }

    void hintShowsOnlyForTheInitialPassword_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<bool>("shown");
        using Opt = std::optional<QString>;
        QTest::newRow("586") << Opt(QStringLiteral("586")) << true;
        QTest::newRow("blank before") << Opt(QStringLiteral(" 586")) << false;
        QTest::newRow("other") << Opt(QStringLiteral("abc")) << false;
        QTest::newRow("no stored password") << Opt() << false;
    }

    void hintShowsOnlyForTheInitialPassword()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(bool, shown);
        MessageRecorder messages;
        LoginWindow window(stored, messages);
        window.show();
        auto* hint = window.findChild<QLabel*>(QStringLiteral("initialPasswordHint"));
        QVERIFY(hint);
        QCOMPARE(hint->text(), QStringLiteral("(原始密码：586)"));
        QCOMPARE(hint->isVisible(), shown);
    }

    void enterWithAWrongEntryTellsOnceAndInsertsNothing()
    {
        MessageRecorder messages;
        LoginWindow window(QStringLiteral("586"), messages);
        window.show();
        QSignalSpy accepted(&window, &LoginWindow::accepted);
        auto* entry = window.findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QTest::keyClicks(entry, QStringLiteral("12x"));
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("密码错误！")});
        QCOMPARE(entry->text(), QStringLiteral("12x"));
        QCOMPARE(accepted.size(), 0);

        // The same key with the right entry admits.
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("586"));
        QTest::keyClick(entry, Qt::Key_Enter);
        QCOMPARE(accepted.size(), 1);
        QCOMPARE(messages.texts().size(), 1);
    }

    void entryIsHiddenAndLimited()
    {
        MessageRecorder messages;
        LoginWindow window(QStringLiteral("586"), messages);
        auto* entry = window.findChild<QLineEdit*>(QStringLiteral("passwordEdit"));
        QCOMPARE(entry->echoMode(), QLineEdit::Password);
        QTest::keyClicks(entry, QStringLiteral("12345678901234567890"));
        QCOMPARE(entry->text(), QStringLiteral("123456789012345"));
    }

    void cancelAndCloseBoxEmitCancelled_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("取消") << true;
        QTest::newRow("close box") << false;
    }

    void cancelAndCloseBoxEmitCancelled()
    {
        QFETCH(bool, byButton);
        MessageRecorder messages;
        LoginWindow window(QStringLiteral("586"), messages);
        window.show();
        QSignalSpy accepted(&window, &LoginWindow::accepted);
        QSignalSpy cancelled(&window, &LoginWindow::cancelled);
        if (byButton)
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
        else
            window.close();
        QCOMPARE(cancelled.size(), 1);
        QCOMPARE(accepted.size(), 0);
        QVERIFY(!window.isVisible());
        QVERIFY(messages.messages.isEmpty());
    }

    void closingAfterLoginEndsNothing()
    {
        MessageRecorder messages;
        LoginWindow window(QStringLiteral("586"), messages);
        window.show();
        QSignalSpy cancelled(&window, &LoginWindow::cancelled);
        QTest::keyClicks(window.findChild<QLineEdit*>(QStringLiteral("passwordEdit")), QStringLiteral("586"));
        QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("confirmButton")), Qt::LeftButton);
        window.close();
        QCOMPARE(cancelled.size(), 0);
    }
};

QTEST_MAIN(LoginWindowTest)
#include "LoginWindowTest.moc"
