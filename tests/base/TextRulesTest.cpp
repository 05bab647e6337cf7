#include "TextRules.h"

#include <QTest>

using namespace qelvaro;

class TextRulesTest : public QObject {
    Q_OBJECT
private slots:
    void numericValueReadsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "26" << 26.0;
        QTest::newRow("decimal") << "12.5" << 12.5;
        QTest::newRow("unit") << "12mm" << 12.0;
        QTest::newRow("decimal unit") << "12.5mm" << 12.5;
        QTest::newRow("leading blanks") << "  7" << 7.0;
        QTest::newRow("negative") << "-3x" << -3.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("not an exponent") << "1em" << 1.0;
        QTest::newRow("huge") << "1e999" << 0.0;
        QTest::newRow("tab is not a blank") << "\t5" << 0.0;
    }
    void numericValueReadsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numericValue(text), value);
    }

    void shortestDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 26.0 << "26";
        QTest::newRow("half") << 12.5 << "12.5";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("negative") << -3.25 << "-3.25";
        QTest::newRow("large") << 120.0 << "120";
    }
    void shortestDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(qelvaro::shortestDecimal(value), text);
    }

    void trimRemovesOnlyAsciiBlanks()
    {
        QCOMPARE(trimBlanks(QStringLiteral("  586  ")), QStringLiteral("586"));
        QCOMPARE(trimBlanks(QStringLiteral("\t586\u3000")), QStringLiteral("\t586\u3000"));
        QCOMPARE(trimLeadingBlanks(QStringLiteral("  a b ")), QStringLiteral("a b "));
        QCOMPARE(trimTrailingBlanks(QStringLiteral("  a b ")), QStringLiteral("  a b"));
        QCOMPARE(trimBlanks(QStringLiteral("   ")), QString());
    }

    void lineBreaksAreStoredAsCrLf()
    {
        QCOMPARE(toStoredLineBreaks(QStringLiteral("a\nb\r\nc\rd\u2029e")), QStringLiteral("a\r\nb\r\nc\r\nd\r\ne"));
        QCOMPARE(splitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{"a", "", "b"}));
        QCOMPARE(splitLines(QString()), QStringList{QString()});
    }
};

QTEST_APPLESS_MAIN(TextRulesTest)
#include "TextRulesTest.moc"
