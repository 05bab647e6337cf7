#include "SettingsCopy.h"
#include "StoreFixture.h"

#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

class OwnPrintSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void templateValues_data()
    {
        QTest::addColumn<int>("suffix");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::newRow("infusion card") << 3 << "10" << "10";
        QTest::newRow("history card") << 4 << "10" << "10";
        QTest::newRow("outpatient log") << 6 << "25" << "15";
    }
    void templateValues()
    {
        QFETCH(int, suffix);
        QFETCH(QString, left);
        QFETCH(QString, top);
        StoreFixture f;
        QVERIFY(f.opened);
        const auto read = readOwnPrintSettings(f.store.settings(), suffix);
        QVERIFY(read);
        QCOMPARE(read->left, left);
        QCOMPARE(read->top, top);
    }

    void writeKeepsOtherSuffixesAndOrientationWhenAsked()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        const auto card = readOwnPrintSettings(f.store.settings(), 3);
        QVERIFY(card);
        QVERIFY(writeOwnPrintSettings(f.store.settings(), 4, {QStringLiteral("12.5mm"), QStringLiteral("O'x"), QStringLiteral("2")}, true));
        QVERIFY(writeOwnPrintSettings(f.store.settings(), 6, {QStringLiteral("30"), QStringLiteral("20"), QStringLiteral("2")}, false));
        QCOMPARE(*readOwnPrintSettings(f.store.settings(), 4),
                 (OwnPrintSettings{QStringLiteral("12.5mm"), QStringLiteral("O'x"), QStringLiteral("2")}));
        const auto log = readOwnPrintSettings(f.store.settings(), 6);
        QCOMPARE(log->left, QStringLiteral("30"));
        QVERIFY(log->orientation != QStringLiteral("2"));
        QCOMPARE(*readOwnPrintSettings(f.store.settings(), 3), *card);
    }

    void refusalsAreReported()
    {
        StoreFixture f;
        QVERIFY(f.opened);
        const auto before = readOwnPrintSettings(f.store.settings(), 3);
        QVERIFY(!writeOwnPrintSettings(f.store.settings(), 3, {QString(51, u'1'), QStringLiteral("1"), QStringLiteral("1")}, true));
        QCOMPARE(*readOwnPrintSettings(f.store.settings(), 3), *before);
        QVERIFY(!writeOwnPrintSettings(f.store.settings(), 5, {}, false));
        QVERIFY(!readOwnPrintSettings(f.store.settings(), 7));
        QVERIFY(!readOwnPrintSettings(nullptr, 3));
        QVERIFY(f.store.settings()->exec("DELETE FROM \"设置\""));
        QVERIFY(!readOwnPrintSettings(f.store.settings(), 3));
        QVERIFY(!writeOwnPrintSettings(f.store.settings(), 3, {}, true));
    }
};

QTEST_GUILESS_MAIN(OwnPrintSettingsTest)
#include "OwnPrintSettingsTest.moc"
