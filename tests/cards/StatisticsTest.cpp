#include "ProgramFixture.h"
#include "RecordStore.h"
#include "Statistics.h"
#include "StatisticsWindow.h"
#include "VisitRows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

struct Fees {
    QVariant drug, other;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Fees>)

class StatisticsTest : public QObject {
    Q_OBJECT
private slots:
    // Fee texts whose leading number is plain, so any reading of a number by its start agrees.
    void feesAddUpByTheirLeadingNumber_data()
    {
        QTest::addColumn<QList<Fees>>("fees");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.5 and 3") << QList<Fees>{{"12.5", "3"}} << "门诊处方数：1张，业务额：15.5元";
        QTest::newRow("0.1 and 0.2") << QList<Fees>{{"0.1", "0.2"}} << "门诊处方数：1张，业务额：0.3元";
        QTest::newRow("whole") << QList<Fees>{{"10", "5"}, {"10.5", "4.5"}} << "门诊处方数：2张，业务额：30元";
        QTest::newRow("currency sign") << QList<Fees>{{"12元", "3.50元"}} << "门诊处方数：1张，业务额：15.5元";
        QTest::newRow("empty, letters, null") << QList<Fees>{{"", "abc"}, {QVariant(), QVariant()}}
                                              << "门诊处方数：2张，业务额：0元";
        QTest::newRow("large") << QList<Fees>{{"999999.99", "0.01"}, {"1000000", "0"}} << "门诊处方数：2张，业务额：2000000元";
    }
    void feesAddUpByTheirLeadingNumber()
    {
        QFETCH(QList<Fees>, fees);
        QFETCH(QString, text);
        ProgramFixture f;
        QVERIFY(f.opened && clearVisits(*f.store.records()));
        for (const Fees& fee : fees) {
            Visit v;
            v.drugFee = fee.drug;
            v.otherFee = fee.other;
            QVERIFY(addVisit(*f.store.records(), v));
        }
        const Statistics s = computeStatistics(f.store.records(), u"2024-03-05"_qs, u"2024-03-05"_qs);
        QVERIFY(s.ok);
        QCOMPARE(statisticsText(s), text);
    }

    void rangeIncludesBothEnds_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("text");
        QTest::newRow("both ends") << "2024-03-01" << "2024-03-05" << "门诊处方数：2张，业务额：30元";
        QTest::newRow("one day") << "2024-03-05" << "2024-03-05" << "门诊处方数：1张，业务额：15元";
        QTest::newRow("reversed") << "2024-03-05" << "2024-03-01" << "无统计数字";
        QTest::newRow("none") << "2024-01-01" << "2024-01-31" << "无统计数字";
    }
    void rangeIncludesBothEnds()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, text);
        ProgramFixture f;
        QVERIFY(f.opened && clearVisits(*f.store.records()));
        for (const char* date : {"2024-02-29", "2024-03-01", "2024-03-05", "2024-03-06"}) {
            Visit v;
            v.date = QString::fromLatin1(date);
            QVERIFY(addVisit(*f.store.records(), v));
        }
        const Statistics s = computeStatistics(f.store.records(), from, to);
        QVERIFY(s.ok);
        QCOMPARE(statisticsText(s), text);
    }

    void turnoverIsPlainDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("fraction") << 15.5 << "15.5";
        QTest::newRow("binary noise") << 0.1 + 0.2 << "0.3";
        QTest::newRow("million") << 1e6 << "1000000";
        QTest::newRow("small") << 0.00001 << "0.00001";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("zero") << 0.0 << "0";
    }
    void turnoverIsPlainDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(turnoverText(value), text);
    }

    void windowCountsTheTypedRangeAndToday()
    {
        ProgramFixture f;  // today is 2024-03-05
        QVERIFY(f.opened && clearVisits(*f.store.records()));
        Visit early;
        early.date = u"2024-02-05"_qs;
        QVERIFY(addVisit(*f.store.records(), early));
        StatisticsWindow w(f.context);
        w.show();
        auto* from = w.findChild<QLineEdit*>(u"statisticsFromDate"_qs);
        auto* to = w.findChild<QLineEdit*>(u"statisticsToDate"_qs);
        auto* result = w.findChild<QLabel*>(u"statisticsResult"_qs);
        QCOMPARE(from->text(), u"2024-02-05"_qs);
        QCOMPARE(to->text(), u"2024-03-05"_qs);
        QVERIFY(result->text().isEmpty());

        QTest::mouseClick(w.findChild<QPushButton*>(u"statisticsButton"_qs), Qt::LeftButton);
        QCOMPARE(result->text(), u"门诊处方数：1张，业务额：15元"_qs);

        QTest::mouseClick(w.findChild<QPushButton*>(u"statisticsTodayButton"_qs), Qt::LeftButton);
        QCOMPARE(result->text(), kNoStatisticsText);
        QCOMPARE(from->text(), u"2024-03-05"_qs);
        QCOMPARE(to->text(), u"2024-03-05"_qs);

        // A date that is no date is told; the result stays.
        from->clear();
        QTest::keyClicks(from, u"2024-02-30"_qs);
        QTest::mouseClick(w.findChild<QPushButton*>(u"statisticsButton"_qs), Qt::LeftButton);
        QCOMPARE(f.messages.texts(), QStringList{kBadDateRangeMessage});
        QVERIFY(f.messages.messages.first().icon == MessageIcon::Warning);
        QCOMPARE(result->text(), kNoStatisticsText);

        // Opening again starts afresh.
        w.close();
        w.show();
        QCOMPARE(from->text(), u"2024-02-05"_qs);
        QVERIFY(result->text().isEmpty());
    }
};

QTEST_MAIN(StatisticsTest)
#include "StatisticsTest.moc"
