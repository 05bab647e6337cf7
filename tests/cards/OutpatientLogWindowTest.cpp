#include "OutpatientLogExport.h"
#include "OutpatientLogWindow.h"
#include "ScriptedFileDialog.h"
#include "SettingsCopy.h"
#include "Page.h"
#include "PrintTarget.h"
#include "ProgramFixture.h"
#include "RecordStore.h"
#include "RecordingSink.h"
#include "VisitRows.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

struct LogWindow {
    RecordingTarget printer;
    ProgramFixture f{&printer};  // today is 2024-03-05
    ScriptedFileDialog dialog;
    QTemporaryDir exportDir;
    std::unique_ptr<OutpatientLogWindow> window;

    explicit LogWindow(int visits = 3)
    {
        if (!f.opened || !clearVisits(*f.store.records()))
            qFatal("no records database");
        for (int i = 0; i < visits; ++i) {
            Visit v;
            v.name = QStringLiteral("病人%1").arg(i + 1);
            v.date = QDate(2024, 2, 10).addDays(i % 20).toString(Qt::ISODate);
            addVisit(*f.store.records(), v);
        }
        window = std::make_unique<OutpatientLogWindow>(f.context, dialog);
        window->show();
    }
    template <typename T>
    T* child(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void type(const char* box, const QString& text)
    {
        child<QLineEdit>(box)->clear();
        QTest::keyClicks(child<QLineEdit>(box), text);
    }
    QString count() const { return child<QLabel>("logCount")->text(); }
    int listed() const { return window->list()->model()->rowCount(); }
};

}  // namespace

class OutpatientLogWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnLastMonthWithTheStoredMargins()
    {
        LogWindow w;
        QCOMPARE(w.child<QLineEdit>("logFromDate")->text(), u"2024-02-05"_qs);
        QCOMPARE(w.child<QLineEdit>("logToDate")->text(), u"2024-03-05"_qs);
        QCOMPARE(w.child<QLineEdit>("logLeftMargin")->text(), u"25"_qs);
        QCOMPARE(w.child<QLineEdit>("logTopMargin")->text(), u"15"_qs);
        QCOMPARE(w.count(), u"记录数：0"_qs);
        QCOMPARE(w.listed(), 0);
    }

    void queryListsTheRangeAndCounts()
    {
        LogWindow w;
        w.click("logQueryButton");
        QCOMPARE(w.count(), u"计录数：3"_qs);
        QCOMPARE(w.listed(), 3);
        const QString first = w.window->list()->model()->index(0, 0).data().toString();
        QVERIFY2(first.startsWith(u" 病人1 "_qs) && first.endsWith(u"2024-02-10"_qs), qPrintable(first));

        // A range that is no range: told, the list emptied, the count left as it was.
        w.type("logToDate", u"2024-3-32"_qs);
        w.click("logQueryButton");
        QCOMPARE(w.f.messages.texts(), QStringList{kBadDateRangeMessage});
        QVERIFY(w.f.messages.messages.first().icon == MessageIcon::Warning);
        QCOMPARE(w.listed(), 0);
        QCOMPARE(w.count(), u"计录数：3"_qs);
    }

    void closingKeepsTheMarginsAndReopeningStartsAfresh()
    {
        LogWindow w;
        w.click("logQueryButton");
        w.type("logLeftMargin", u"12.5mm"_qs);
        w.type("logTopMargin", u"O'x"_qs);
        w.window->close();  // the close box does what 退  出 does
        const auto stored = readOwnPrintSettings(w.f.store.settings(), 6);
        QCOMPARE(stored->left, u"12.5mm"_qs);
        QCOMPARE(stored->top, u"O'x"_qs);
        QVERIFY(w.f.messages.messages.isEmpty());

        // The stored columns hold fifty characters: the box takes no more, so the close never fails.
        w.window->show();
        w.type("logLeftMargin", QString(60, u'9'));
        w.window->close();
        QCOMPARE(readOwnPrintSettings(w.f.store.settings(), 6)->left, QString(50, u'9'));
        QVERIFY(w.f.messages.messages.isEmpty());
        w.window->show();
        w.type("logLeftMargin", u"12.5mm"_qs);
        w.window->close();

        w.window->show();
        QCOMPARE(w.child<QLineEdit>("logLeftMargin")->text(), u"12.5mm"_qs);
        QCOMPARE(w.count(), u"记录数：0"_qs);
        QCOMPARE(w.listed(), 0);
        w.click("logExitButton");
        QVERIFY(!w.window->isVisible());
    }

    void marginsThatWereNotReadAreNotWritten()
    {
        LogWindow w;
        w.window->close();
        QVERIFY(w.f.store.settings()->exec(R"(DELETE FROM "设置")"));
        w.window->show();
        QCOMPARE(w.child<QLineEdit>("logLeftMargin")->text(), u"10"_qs);
        QCOMPARE(w.child<QLineEdit>("logTopMargin")->text(), u"10"_qs);
        w.window->close();
        QVERIFY(w.f.messages.messages.isEmpty());
    }

    void printsTheBookWithTheBoxesAndTheSettingsDoctor()
    {
        LogWindow w(21);
        w.f.settings.edit().doctor = u"王医生"_qs;  // unsaved edits count
        w.type("logLeftMargin", u"20"_qs);
        w.click("logPrintButton");
        QCOMPARE(w.printer.jobs.size(), 1);
        QCOMPARE(w.printer.jobs[0].name, u"门诊日志"_qs);
        int pages = 1;
        QStringList texts;
        double titleX = -1;
        for (const PageOperation& op : w.printer.jobs[0].operations) {
            pages += op.kind == PageOperation::Kind::NewPage;
            texts << op.text;
            if (op.text == u"门 诊 日 志 登 记 本"_qs)
                titleX = op.x;
        }
        QCOMPARE(pages, 2);
        QCOMPARE(texts.count(u"医生：王医生"_qs), 2);
        QVERIFY(texts.contains(u"第2页共2页"_qs));
        QVERIFY(texts.contains(u"病人21"_qs));
        QCOMPARE(titleX, 100 * kTwipsPerMillimetre);
        QVERIFY(w.f.messages.messages.isEmpty());
    }

    void printWithoutVisitsOrDatesPrintsNothing()
    {
        LogWindow w;
        w.type("logFromDate", u"2024-03-01"_qs);
        w.click("logPrintButton");
        QVERIFY(w.printer.jobs.isEmpty());
        QVERIFY(w.f.messages.messages.isEmpty());

        w.type("logFromDate", u"abc"_qs);
        w.click("logPrintButton");
        QVERIFY(w.printer.jobs.isEmpty());
        QCOMPARE(w.f.messages.texts(), QStringList{kBadDateRangeMessage});
    }

    void exportWritesTheChosenWorkbook()
    {
        LogWindow w;
        w.dialog.answer = w.exportDir.filePath(u"三月 日志"_qs);
        w.click("logExportButton");
        QCOMPARE(w.dialog.questions.size(), 1);
        QVERIFY(w.dialog.questions[0].startsWith(u"另存为|"_qs));
        QVERIFY(w.dialog.questions[0].endsWith(u"门诊日志.xlsx|Excel文件 (*.xlsx)"_qs));
        QCOMPARE(w.f.messages.texts(), QStringList{kExportDoneMessage});
        QVERIFY(w.f.messages.messages.first().icon == MessageIcon::None);
        QCOMPARE(w.count(), u"计录数：3"_qs);
        QCOMPARE(w.listed(), 0);  // the list is not the export's
        QCOMPARE(QDir(w.exportDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"三月 日志.xlsx"_qs});

        // The next export suggests the name confirmed last.
        w.f.messages.clear();
        w.dialog.answer = w.exportDir.filePath(u"again.xlsx"_qs);
        w.click("logExportButton");
        QVERIFY(w.dialog.questions[1].contains(w.exportDir.filePath(u"三月 日志.xlsx"_qs) + u'|'));
        QVERIFY(QFile::exists(w.exportDir.filePath(u"again.xlsx"_qs)));
        QCOMPARE(w.f.messages.texts(), QStringList{kExportDoneMessage});
    }

    void exportCancelledFailedOrEmptySaysNoSuccess()
    {
        LogWindow w;
        // Cancelled: nothing written, nothing said.
        w.click("logExportButton");
        QCOMPARE(w.dialog.questions.size(), 1);
        QVERIFY(w.f.messages.messages.isEmpty());
        QVERIFY(QDir(w.exportDir.path()).isEmpty(QDir::Files | QDir::Hidden));

        // A folder that is not there: told as a failure.
        w.dialog.answer = w.exportDir.filePath(u"missing/log"_qs);
        w.click("logExportButton");
        QCOMPARE(w.f.messages.texts(), QStringList{kExportFailedMessage});
        QVERIFY(w.f.messages.messages.first().icon == MessageIcon::Warning);

        // No visits: nothing to ask for and nothing said; the count shows why.
        w.f.messages.clear();
        w.type("logFromDate", u"2024-03-01"_qs);
        w.click("logExportButton");
        QCOMPARE(w.dialog.questions.size(), 2);
        QCOMPARE(w.count(), u"计录数：0"_qs);
        QVERIFY(w.f.messages.messages.isEmpty());

        // Bad dates: told before any dialog.
        w.type("logFromDate", u"2024-02"_qs);
        w.click("logExportButton");
        QCOMPARE(w.dialog.questions.size(), 2);
        QCOMPARE(w.f.messages.texts(), QStringList{kBadDateRangeMessage});
    }
};

QTEST_MAIN(OutpatientLogWindowTest)
#include "OutpatientLogWindowTest.moc"
