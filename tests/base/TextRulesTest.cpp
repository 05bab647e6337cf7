#include "TextRules.h"

#include <QLocale>
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
        QTest::newRow("blank inside") << "1 2" << 12.0;
        QTest::newRow("tab and line feed inside") << "\t1\n2.\t5 " << 12.5;
        QTest::newRow("blank after the sign") << "- 3" << -3.0;
        QTest::newRow("blanks in the exponent") << "1 e 3" << 1000.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("ideographic space stops") << "1\u30002" << 1.0;
        QTest::newRow("negative") << "-3x" << -3.0;
        QTest::newRow("plus") << "+4" << 4.0;
        QTest::newRow("two signs") << "--3" << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("trailing point") << "5." << 5.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("comma is no separator") << "1,5" << 1.0;
        QTest::newRow("full-width digits") << "\uff11\uff12" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("letters before digits") << "x12" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks only") << " \t\n" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("exponent") << "1e3" << 1000.0;
        QTest::newRow("exponent upper case, signed") << "25E-1" << 2.5;
        QTest::newRow("not an exponent") << "1em" << 1.0;
        QTest::newRow("exponent sign without digits") << "2e+" << 2.0;
        QTest::newRow("huge") << "1e999" << 0.0;
        QTest::newRow("hexadecimal") << "&HFF" << 255.0;
        QTest::newRow("hexadecimal lower case, stops") << "&h1fz" << 31.0;
        QTest::newRow("hexadecimal with blanks") << "& H 1 0" << 16.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&o178" << 15.0;
        QTest::newRow("prefix without digits") << "&H" << 0.0;
        QTest::newRow("ampersand alone") << "&12" << 0.0;
        QTest::newRow("huge hexadecimal") << "&H" + QString(300, u'F') << 0.0;
    }
    void numericValueReadsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numericValue(text), value);
    }

    void numericValueIgnoresTheLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const double point = numericValue(QStringLiteral("12.5"));
        const double comma = numericValue(QStringLiteral("12,5"));
        QLocale::setDefault(before);
        QCOMPARE(point, 12.5);
        QCOMPARE(comma, 12.0);
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
