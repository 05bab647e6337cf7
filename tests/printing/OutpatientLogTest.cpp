#include "OutpatientLog.h"
#include "OutpatientLogBook.h"
#include "OutpatientLogExport.h"
#include "Page.h"
#include "PdfText.h"
#include "StoreFixture.h"
#include "RecordStore.h"
#include "RecordingSink.h"
#include "VisitRows.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

#include <filesystem>

using namespace qelvaro;
using namespace qelvaro::test;
using Kind = PageOperation::Kind;

namespace {

QList<LogRow> rowsNamed(int count)
{
    QList<LogRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(LogRow{QStringLiteral("病人%1").arg(i), u"女"_qs, u"8岁"_qs, u"急性胃肠炎"_qs, u"南湖街道"_qs, u"2024-03-05"_qs});
    return rows;
}

RecordingSink recordBook(const QList<LogRow>& rows, const QString& left = u"10"_qs, const QString& top = u"10"_qs)
{
    RecordingSink sink;
    Page page(sink);
    printOutpatientLogBook(page, rows, left, top, u"林医生"_qs);
    page.endDoc();
    return sink;
}

// The operations of each page, split at the page breaks.
QList<QList<PageOperation>> pagesOf(const RecordingSink& sink)
{
    QList<QList<PageOperation>> pages(1);
    for (const PageOperation& op : sink.operations) {
        if (op.kind == Kind::NewPage)
            pages.append(QList<PageOperation>());
        else if (op.kind == Kind::Text || op.kind == Kind::Line)
            pages.last().append(op);
    }
    return pages;
}

const PageOperation* textOp(const QList<PageOperation>& ops, const QString& text)
{
    for (const PageOperation& op : ops) {
        if (op.kind == Kind::Text && op.text == text)
            return &op;
    }
    return nullptr;
}

// Cell reference -> text of the first sheet, shared strings resolved.
QMap<QString, QString> readSheet(const QString& path)
{
    auto part = [&](const char* name) {
        QProcess unzip;
        unzip.start(u"unzip"_qs, {u"-p"_qs, path, QString::fromLatin1(name)});
        unzip.waitForFinished();
        return unzip.readAllStandardOutput();
    };
    QStringList shared;
    QXmlStreamReader strings(part("xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        if (strings.readNext() == QXmlStreamReader::StartElement && strings.name() == u"si")
            shared.append(QString());
        else if (strings.isStartElement() && strings.name() == u"t")
            shared.last() += strings.readElementText();
    }
    QMap<QString, QString> cells;
    QXmlStreamReader sheet(part("xl/worksheets/sheet1.xml"));
    QString ref;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (sheet.isStartElement() && sheet.name() == u"c")
            ref = sheet.attributes().value(QStringLiteral("r")).toString();
        else if (sheet.isStartElement() && sheet.name() == u"v")
            cells.insert(ref, shared.value(sheet.readElementText().toInt()));
    }
    return cells;
}

}  // namespace

class OutpatientLogTest : public QObject {
    Q_OBJECT
private slots:
    void queryTakesTheRangeWithBothEnds_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("dates");

        QTest::newRow("range") << "2024-03-01" << "2024-03-05" << QStringList{"2024-03-01", "2024-03-05", "2024-03-05"};
        QTest::newRow("one day") << "2024-03-05" << "2024-03-05" << QStringList{"2024-03-05", "2024-03-05"};
        QTest::newRow("slashes, blanks") << " 2024/2/29" << "2024/3/1 " << QStringList{"2024-02-29", "2024-03-01"};
        QTest::newRow("reversed") << "2024-03-05" << "2024-03-01" << QStringList{};
        QTest::newRow("no visits") << "2023-01-01" << "2023-12-31" << QStringList{};
    }
    void queryTakesTheRangeWithBothEnds()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, dates);
        StoreFixture f;
        QVERIFY(f.opened && clearVisits(*f.store.records()));
        // Stored out of date order: the log lists by date.
        for (const char* date : {"2024-03-05", "2024-03-06", "2024-02-29", "2024-03-01", "2024-03-05"}) {
            Visit v;
            v.date = QString::fromLatin1(date);
            QVERIFY(addVisit(*f.store.records(), v));
        }
        const LogQuery log = queryOutpatientLog(f.store.records(), from, to);
        QVERIFY(log.ok);
        QStringList got;
        for (const LogRow& row : log.rows)
            got << row.date;
        QCOMPARE(got, dates);
        // The list's row ids give the same visits in the same order.
        const LogRowIds ids = queryOutpatientLogRowIds(f.store.records(), from, to);
        QVERIFY(ids.ok);
        QList<LogRow> byId;
        for (const qint64 id : ids.ids)
            byId << readLogRow(f.store.records(), id);
        QCOMPARE(byId, log.rows);
    }

    void datesThatAreNoDatesAreTold_data()
    {
        QTest::addColumn<QString>("from");
        QTest::newRow("empty") << "";
        QTest::newRow("month 13") << "2024-13-01";
        QTest::newRow("30 February") << "2024-02-30";
        QTest::newRow("letters") << "abc";
        QTest::newRow("quote") << "2024-03-01' OR '1'='1";
    }
    void datesThatAreNoDatesAreTold()
    {
        QFETCH(QString, from);
        StoreFixture f;
        QVERIFY(f.opened && addVisit(*f.store.records(), Visit{}));
        const LogQuery log = queryOutpatientLog(f.store.records(), from, u"2024-03-05"_qs);
        QVERIFY(!log.ok);
        QCOMPARE(log.problem, kBadDateRangeMessage);
        QVERIFY(log.rows.isEmpty());
        QCOMPARE(queryOutpatientLogRowIds(f.store.records(), from, u"2024-03-05"_qs).problem, kBadDateRangeMessage);
    }

    void nullAndDeletedRowsReadAsEmptyText()
    {
        StoreFixture f;
        QVERIFY(f.opened && clearVisits(*f.store.records()));
        Visit v;
        v.sex = v.age = v.diagnosis = v.address = QVariant();
        QVERIFY(addVisit(*f.store.records(), v));
        const LogQuery log = queryOutpatientLog(f.store.records(), u"2024-03-05"_qs, u"2024-03-05"_qs);
        QVERIFY(log.ok);
        QCOMPARE(log.rows, (QList<LogRow>{{u"张三"_qs, {}, {}, {}, {}, u"2024-03-05"_qs}}));

        // A visit deleted after the list took its row id reads as an empty line.
        const LogRowIds ids = queryOutpatientLogRowIds(f.store.records(), u"2024-03-05"_qs, u"2024-03-05"_qs);
        QCOMPARE(ids.ids.size(), 1);
        QVERIFY(clearVisits(*f.store.records()));
        QCOMPARE(readLogRow(f.store.records(), ids.ids[0]), LogRow{});
    }

    void oneMonthBeforeKeepsTheDayOrTakesTheMonthsLast_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QDate>("before");
        QTest::newRow("5 March") << QDate(2024, 3, 5) << QDate(2024, 2, 5);
        QTest::newRow("31 March, leap year") << QDate(2024, 3, 31) << QDate(2024, 2, 29);
        QTest::newRow("31 March") << QDate(2023, 3, 31) << QDate(2023, 2, 28);
        QTest::newRow("January") << QDate(2024, 1, 15) << QDate(2023, 12, 15);
    }
    void oneMonthBeforeKeepsTheDayOrTakesTheMonthsLast()
    {
        QFETCH(QDate, day);
        QFETCH(QDate, before);
        QCOMPARE(oneMonthBefore(day), before);
    }

    // Widths as the double-byte list font has them: 100 twips an ASCII character, 200 a Chinese one.
    void listLinesPadEachFieldJustPastItsColumn()
    {
        const auto measure = [](const QString& text) { return RecordingSink::textWidthFor(text, 1) * 10; };
        QCOMPARE(padToWidth(u"王"_qs, 500, measure), u"王    "_qs);         // 200 + 4 blanks = 600 > 500
        QCOMPARE(padToWidth(u"abcde"_qs, 500, measure), u"abcde "_qs);     // exactly 500 still gets one
        QCOMPARE(padToWidth(u"abcdef"_qs, 500, measure), u"abcdef"_qs);    // wider: unchanged, never cut
        QCOMPARE(padToWidth(u"x"_qs, 500, [](const QString&) { return 0.0; }), u"x"_qs);  // no endless loop

        const LogRow row{u"欧阳慕容上官"_qs, u"男"_qs, u"35岁"_qs, u"感冒"_qs, u"南湖"_qs, u"2024-03-05"_qs};
        // The name (1200 twips) gets one blank to pass 1285; the sex follows its column of 515.
        QCOMPARE(logListLine(row, measure),
                 QStringLiteral(" 欧阳慕容上官 男    35岁   感冒") + QString(35, u' ') + QStringLiteral("南湖") + QString(35, u' ') + QStringLiteral("2024-03-05"));
    }

    void bookPagesTwentyRowsWithTheWholeFrame_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("20") << 20 << 1;
        QTest::newRow("21") << 21 << 2;
        QTest::newRow("40") << 40 << 2;
        QTest::newRow("41") << 41 << 3;
    }
    void bookPagesTwentyRowsWithTheWholeFrame()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        const RecordingSink sink = recordBook(rowsNamed(rows));
        QCOMPARE(sink.operations.first().orientation, QPageLayout::Landscape);
        const auto book = pagesOf(sink);
        QCOMPARE(book.size(), pages);
        const double mm = kTwipsPerMillimetre;
        for (int p = 0; p < pages; ++p) {
            const auto& ops = book[p];
            int lines = 0;
            for (const PageOperation& op : ops)
                lines += op.kind == Kind::Line;
            QCOMPARE(lines, 22 + 8);
            QVERIFY(textOp(ops, u"门 诊 日 志 登 记 本"_qs));
            QVERIFY(textOp(ops, u"诊            断"_qs));
            const PageOperation* doctor = textOp(ops, u"医生：林医生"_qs);
            QVERIFY(doctor);
            QCOMPARE(doctor->y, 178 * mm);
            const PageOperation* footer = textOp(ops, QStringLiteral("第%1页共%2页").arg(p + 1).arg(pages));
            QVERIFY(footer);
            QCOMPARE(footer->x, (215 + 10) * mm);
            // The page's first visit stands in the first band, the last one in its own band.
            const int first = p * 20 + 1;
            const int last = std::min(rows, first + 19);
            const PageOperation* firstRow = textOp(ops, QStringLiteral("病人%1").arg(first));
            QVERIFY(firstRow);
            QCOMPARE(firstRow->y, 39 * mm);
            QCOMPARE(firstRow->x, (2 + 10) * mm);
            QVERIFY(!firstRow->font.bold);
            QCOMPARE(textOp(ops, QStringLiteral("病人%1").arg(last))->y, (39 + 7 * (last - first)) * mm);
        }
    }

    void bookMarginsMoveTheOrigin_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPointF>("title");  // millimetres from the printable area's corner
        QTest::newRow("10/10") << "10" << "10" << QPointF(90, 20);
        QTest::newRow("25/15") << "25" << "15" << QPointF(105, 25);
        QTest::newRow("empty, letters") << "" << "abc" << QPointF(80, 10);
        QTest::newRow("leading number") << "12元" << " 5" << QPointF(92, 15);
    }
    void bookMarginsMoveTheOrigin()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPointF, title);
        const RecordingSink sink = recordBook(rowsNamed(1), left, top);
        const PageOperation* op = textOp(sink.operations, u"门 诊 日 志 登 记 本"_qs);
        QVERIFY(op);
        QCOMPARE(op->x, title.x() * kTwipsPerMillimetre);
        QCOMPARE(op->y, title.y() * kTwipsPerMillimetre);
        QCOMPARE(op->font, (PageFont{u"宋体"_qs, 22, true}));
    }

    void noRowsDrawsNothing()
    {
        RecordingSink sink;
        Page page(sink);
        printOutpatientLogBook(page, {}, u"10"_qs, u"10"_qs, u"林医生"_qs);
        QVERIFY(!page.hasOutput());
    }

    void bookReachesPaper()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"log.pdf"_qs);
        PdfTarget target(path);
        QVERIFY(target.run(u"门诊日志"_qs, [](Page& page) {
            printOutpatientLogBook(page, rowsNamed(21), u"10"_qs, u"10"_qs, u"林医生"_qs);
        }));
        const PdfPage second = readPdfPage(path, 2);
        QVERIFY(second.size.width() > second.size.height());  // landscape
        auto find = [&](const QString& text) -> const PdfWord* {
            for (const PdfWord& w : second.words) {
                if (w.text == text)
                    return &w;
            }
            return nullptr;
        };
        const double pt = 72 / 25.4;
        // The reader splits the footer at its digits: 第 / 2页共 / 2页.
        const PdfWord* footer = find(u"第"_qs);
        QVERIFY(footer && find(u"2页共"_qs));
        QVERIFY(std::abs(footer->box.left() - 225 * pt) < 2);
        const PdfWord* row = find(u"病人21"_qs);
        QVERIFY(row);
        QVERIFY(std::abs(row->box.left() - 12 * pt) < 2);
        QVERIFY(row->box.top() > 39 * pt && row->box.top() < 41 * pt);
        QVERIFY(find(u"医生：林医生"_qs));
        QVERIFY(!find(u"病人20"_qs));
    }

    void workbookHoldsTheRowsAndTexts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"门诊 日志.xlsx"_qs);
        const QList<LogRow> rows{
            {u"O'Brien <&>\""_qs, u"男"_qs, u"35岁"_qs, u"上呼吸道感染"_qs, u"东岭村一组 13500000000"_qs, u"2024-03-01"_qs},
            {u"𠀀华"_qs, {}, {}, u"%_"_qs, {}, u"2024-03-05"_qs},
        };
        QVERIFY(writeLogWorkbook(path, rows));
        namespace fs = std::filesystem;
        QCOMPARE(fs::status(path.toStdString()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        const QMap<QString, QString> cells = readSheet(path);
        const QMap<QString, QString> expected{
            {"A1", "姓名"}, {"B1", "性别"}, {"C1", "年龄"}, {"D1", "诊断"}, {"E1", "地址（电话）"}, {"F1", "就诊日期"},
            {"A2", rows[0].name}, {"B2", "男"}, {"C2", "35岁"}, {"D2", "上呼吸道感染"}, {"E2", rows[0].address},
            {"F2", "2024-03-01"}, {"A3", "𠀀华"}, {"D3", "%_"}, {"F3", "2024-03-05"},
        };
        QCOMPARE(cells, expected);
        // Nothing else is left in the folder.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"门诊 日志.xlsx"_qs});
    }

    void aFailedWriteLeavesTheOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(!writeLogWorkbook(dir.filePath(u"missing/log.xlsx"_qs), rowsNamed(1)));
        QVERIFY(!writeLogWorkbook(dir.path(), rowsNamed(1)));
        // An existing workbook is replaced by a complete one.
        const QString path = dir.filePath(u"log.xlsx"_qs);
        writeFile(path, "old");
        QVERIFY(writeLogWorkbook(path, rowsNamed(3)));
        QCOMPARE(readSheet(path).value(u"A4"_qs), u"病人3"_qs);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"log.xlsx"_qs});
    }

    void workbookNameGetsItsSuffixOnce_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("path");
        QTest::newRow("bare") << "/x/log" << "/x/log.xlsx";
        QTest::newRow("suffixed") << "/x/log.xlsx" << "/x/log.xlsx";
        QTest::newRow("capitals") << "/x/log.XLSX" << "/x/log.XLSX";
        QTest::newRow("old kind") << "/x/log.xls" << "/x/log.xls.xlsx";
    }
    void workbookNameGetsItsSuffixOnce()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, path);
        QCOMPARE(workbookPath(chosen), path);
    }
};

QTEST_MAIN(OutpatientLogTest)
#include "OutpatientLogTest.moc"
