#include "MessageBoxSink.h"
#include "TestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// What the box on screen showed.
struct Shown {
    bool found = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QStringList captions;
};

// Runs `showBox` (which blocks in the box's event loop) and, once the box is up, notes what it
// shows and presses the button captioned `press`.
Shown whileShown(const std::function<void()>& showBox, const QString& press)
{
    Shown shown;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll.stop();
        shown = {true, box->icon(), box->windowTitle(), box->text(), {}};
        QAbstractButton* toPress = nullptr;
        for (QAbstractButton* button : box->buttons()) {
            shown.captions << button->text();
            if (button->text() == press)
                toPress = button;
        }
        if (toPress)
            toPress->click();
        else
            box->done(QMessageBox::Cancel);
    });
    poll.start();
    showBox();
    return shown;
}

enum class Kind { Tell, Warn, Ask, Confirm };

// Calls the one kind of message on a sink; the answer for the two kinds that ask.
bool say(MessageSink& sink, Kind kind, const QString& text)
{
    switch (kind) {
    case Kind::Tell:
        sink.tell(text);
        return true;
    case Kind::Warn:
        sink.warn(text, QStringLiteral("Qelvaro"));
        return true;
    case Kind::Ask:
        return sink.ask(text);
    case Kind::Confirm:
        return sink.confirm(text);
    }
    return false;
}

}  // namespace

class MessageBoxSinkTest : public QObject {
    Q_OBJECT

private slots:
    // The box on screen shows the icon the test recorder notes for the same kind of message, so
    // what the program's tests check of the recorder holds for the real boxes.
    void boxShowsTheRecordedIcon_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("answer");
        const QStringList ok{QStringLiteral("确定")};
        const QStringList yesNo{QStringLiteral("是"), QStringLiteral("否")};
        const QStringList okCancel{QStringLiteral("确定"), QStringLiteral("取消")};
        QTest::newRow("report") << int(Kind::Tell) << QMessageBox::NoIcon << ok << QStringLiteral("确定") << true;
        QTest::newRow("refusal") << int(Kind::Warn) << QMessageBox::Warning << ok << QStringLiteral("确定") << true;
        QTest::newRow("question, yes") << int(Kind::Ask) << QMessageBox::Warning << yesNo << QStringLiteral("是") << true;
        QTest::newRow("question, no") << int(Kind::Ask) << QMessageBox::Warning << yesNo << QStringLiteral("否") << false;
        QTest::newRow("go on, ok") << int(Kind::Confirm) << QMessageBox::Warning << okCancel << QStringLiteral("确定")
                                   << true;
        QTest::newRow("go on, cancel") << int(Kind::Confirm) << QMessageBox::Warning << okCancel
                                       << QStringLiteral("取消") << false;
    }

    void boxShowsTheRecordedIcon()
    {
        QFETCH(int, kind);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(QStringList, captions);
        QFETCH(QString, press);
        QFETCH(bool, answer);
        const QString text = QStringLiteral("内容");

        MessageRecorder recorder;
        say(recorder, Kind(kind), text);
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0].icon == MessageIcon::Warning, icon == QMessageBox::Warning);

        MessageBoxSink sink;
        bool answered = !answer;
        const Shown shown = whileShown([&] { answered = say(sink, Kind(kind), text); }, press);
        QVERIFY(shown.found);
        QCOMPARE(shown.icon, icon);
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.title, recorder.messages[0].title);
        QCOMPARE(shown.captions, captions);
        QCOMPARE(answered, answer);
    }
};

QTEST_MAIN(MessageBoxSinkTest)
#include "MessageBoxSinkTest.moc"
