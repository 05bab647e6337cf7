#include "Gbk.h"
#include "Pinyin.h"

#include <QFile>
#include <QMap>
#include <QTest>

using namespace qelvaro;
using namespace Qt::StringLiterals;

namespace {

// Blocks of the shipped table as written: letter -> its characters.
QMap<QChar, QString> shippedBlocks(QStringList* order = nullptr)
{
    QMap<QChar, QString> blocks;
    QFile file(QStringLiteral(":/pinyin/initials.txt"));
    pinyinCode(u"大");  // the first lookup registers the resource of the static library
    if (!file.open(QIODevice::ReadOnly))
        return blocks;
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        blocks[line.at(0)] += line.mid(2);
        if (order)
            *order << line.left(2);
    }
    return blocks;
}

QString fromUcs4(std::initializer_list<char32_t> codePoints)
{
    QString s;
    for (const char32_t c : codePoints)
        s += QString::fromUcs4(&c, 1);
    return s;
}

}  // namespace

class PinyinTest : public QObject {
    Q_OBJECT

private slots:
    void code_data();
    void code();
    void initial_data();
    void initial();
    void letterOfCodePoint();
    void codeIsInitialsOfEveryCharacter();
    void longAndBrokenText();
    void shippedTableHasTwentyThreeBlocks();
    void shippedTableCoversTheDoubleByteIdeographs();
    void characterInTwoBlocksTakesTheFirst();
};

void PinyinTest::code_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");

    // Telling rows of the table.
    QTest::newRow("行") << u"行"_s << u"h"_s;
    QTest::newRow("长") << u"长"_s << u"c"_s;
    QTest::newRow("重") << u"重"_s << u"z"_s;
    QTest::newRow("乐") << u"乐"_s << u"l"_s;
    QTest::newRow("调") << u"调"_s << u"t"_s;
    QTest::newRow("朝") << u"朝"_s << u"z"_s;
    QTest::newRow("单") << u"单"_s << u"d"_s;
    QTest::newRow("区") << u"区"_s << u"q"_s;
    QTest::newRow("仇") << u"仇"_s << u"c"_s;
    QTest::newRow("都") << u"都"_s << u"d"_s;
    QTest::newRow("大 in blocks d and t") << u"大"_s << u"d"_s;

    // Telling codes.
    QTest::newRow("阿莫西林") << u"阿莫西林"_s << u"amxl"_s;
    QTest::newRow("藿香正气水") << u"藿香正气水"_s << u"hxzqs"_s;
    QTest::newRow("头孢氨苄颗粒") << u"头孢氨苄颗粒"_s << u"tbabkl"_s;
    QTest::newRow("上呼吸道感染") << u"上呼吸道感染"_s << u"shxdgr"_s;
    QTest::newRow("维生素B1 片") << u"维生素B1 片"_s << u"wssb1"_s;
    QTest::newRow("5%葡萄糖") << u"5%葡萄糖"_s << u"5ptt"_s;

    // Names that need the table's overrides of the first Unihan reading.
    QTest::newRow("人参 shēn") << u"复方丹参片"_s << u"ffdsp"_s;
    QTest::newRow("白术 zhú") << u"白术"_s << u"bz"_s;
    QTest::newRow("川芎 xiōng") << u"川芎"_s << u"cx"_s;
    QTest::newRow("咳嗽 ké") << u"咳嗽"_s << u"ks"_s;
    QTest::newRow("咯血 kǎ") << u"咯血"_s << u"kx"_s;
    QTest::newRow("膀胱炎 páng") << u"膀胱炎"_s << u"pgy"_s;
    QTest::newRow("颈椎病 zhuī") << u"颈椎病"_s << u"jzb"_s;
    QTest::newRow("枳壳 qiào") << u"枳壳"_s << u"zq"_s;
    QTest::newRow("surname 曾 Zēng") << u"曾小红"_s << u"zxh"_s;
    QTest::newRow("drug-name characters") << u"苄胍脲嗪咪唑哌酮酚"_s << u"bgnqmzptf"_s;
    QTest::newRow("对乙酰氨基酚") << u"对乙酰氨基酚"_s << u"dyxajf"_s;
    QTest::newRow("二甲双胍") << u"二甲双胍"_s << u"ejsg"_s;
    QTest::newRow("compatibility ideograph 郎 U+F92C") << fromUcs4({0xF92C}) << u"l"_s;

    // The scan.
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("leading blank") << u" 阿莫西林"_s << QString();
    QTest::newRow("two words") << u"阿莫西林 胶囊"_s << u"amxl"_s;
    QTest::newRow("only the first blank ends") << u"ab cd ef"_s << u"ab"_s;
    QTest::newRow("U+3000 does not end") << u"阿莫\u3000西林"_s << u"amxl"_s;
    QTest::newRow("tab, line break, NBSP do not end") << u"a\tb\r\nc\u00A0d"_s << u"abcd"_s;

    // Letters and digits.
    QTest::newRow("upper case") << u"ABCXYZ"_s << u"abcxyz"_s;
    QTest::newRow("lower case") << u"abcxyz"_s << u"abcxyz"_s;
    QTest::newRow("Z gives z") << u"Z"_s << u"z"_s;
    QTest::newRow("digits stay in place") << u"0.9%氯化钠250ml"_s << u"09lhn250ml"_s;

    // Dropped.
    QTest::newRow("ASCII punctuation") << u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"_s << QString();
    QTest::newRow("full-width punctuation") << u"阿，莫。（西）【林】、“”"_s << u"amxl"_s;
    QTest::newRow("full-width letters and digits") << u"ＡＢｚ０９"_s << QString();
    QTest::newRow("double-byte symbols") << u"①℃ⅡΩа〇"_s << QString();
    QTest::newRow("Latin with accents") << u"éÄñ"_s << QString();
    QTest::newRow("emoji") << u"a😀b"_s << u"ab"_s;
    QTest::newRow("non-BMP ideograph") << fromUcs4({U'x', 0x20000, U'y'}) << u"xy"_s;
    QTest::newRow("lone high surrogate") << (u"a"_s + QChar(0xD800) + u"b"_s) << u"ab"_s;
    QTest::newRow("lone low surrogate at end") << (u"a"_s + QChar(0xDC00)) << u"a"_s;
    QTest::newRow("control characters") << (u"a"_s + QChar(0) + QChar(0x1F) + u"b"_s) << u"ab"_s;
}

void PinyinTest::code()
{
    QFETCH(QString, text);
    QFETCH(QString, code);
    QCOMPARE(pinyinCode(text), code);
}

void PinyinTest::initial_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("initial");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blank") << u" a"_s << QString();
    QTest::newRow("only the first character") << u"大行"_s << u"d"_s;
    QTest::newRow("digit") << u"7"_s << u"7"_s;
    QTest::newRow("upper-case Z") << u"Z"_s << u"z"_s;
    QTest::newRow("punctuation first") << u"%a"_s << QString();
    QTest::newRow("surrogate pair is one character") << u"😀a"_s << QString();
    QTest::newRow("lone surrogate") << (QString(QChar(0xDBFF)) + u"a"_s) << QString();
    QTest::newRow("U+3000") << u"\u3000a"_s << QString();
}

void PinyinTest::initial()
{
    QFETCH(QString, text);
    QFETCH(QString, initial);
    QCOMPARE(pinyinInitial(text), initial);
}

void PinyinTest::letterOfCodePoint()
{
    QCOMPARE(pinyinLetter(U'大'), 'd');
    QCOMPARE(pinyinLetter(U'Q'), 'q');
    QCOMPARE(pinyinLetter(U'3'), '3');
    QCOMPARE(pinyinLetter(U' '), '\0');
    QCOMPARE(pinyinLetter(0xD800), '\0');
    QCOMPARE(pinyinLetter(0x1F600), '\0');
    QCOMPARE(pinyinLetter(0x10FFFF), '\0');
    QCOMPARE(pinyinLetter(0x110000), '\0');
    QCOMPARE(pinyinLetter(0xFFFFFFFF), '\0');
}

// The code is the initials of the characters, one by one, for every BMP code unit.
void PinyinTest::codeIsInitialsOfEveryCharacter()
{
    for (char32_t c = 0; c < 0x10000; ++c) {
        const QString one{QChar(char16_t(c))};
        const char letter = pinyinLetter(c);
        const QString expected = letter ? QString(QChar(letter)) : QString();
        if (pinyinCode(one) != expected || pinyinInitial(one) != expected)
            QFAIL(qPrintable(QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0'))));
    }
}

void PinyinTest::longAndBrokenText()
{
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += u"阿莫西林😀ＡＢ"_s + QChar(0xDC00) + u"Zx5，"_s + QChar(0xD800);
    const QString code = pinyinCode(text);
    QCOMPARE(code.size(), 200000 * 7);
    QVERIFY(code.startsWith(u"amxlzx5amxlzx5"));
    QCOMPARE(pinyinCode(text + u" 阿"_s), code);
}

void PinyinTest::shippedTableHasTwentyThreeBlocks()
{
    QStringList order;
    const QMap<QChar, QString> blocks = shippedBlocks(&order);
    QCOMPARE(order.join(QString()), u"a:b:c:d:e:f:g:h:j:k:l:m:n:o:p:q:r:s:t:w:x:y:z:"_s);
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
        for (const QChar ch : it.value())
            QVERIFY2(!ch.isSurrogate() && isGbkDoubleByte(ch.unicode()), qPrintable(QString(ch)));
    }
}

// Every ideograph U+4E00..U+9FA5 of code page 936 has a letter, except the few that Unihan gives
// no reading (Japanese unit characters: deca-, hecto-, deci-, centi-, milligram, gallon, ...).
void PinyinTest::shippedTableCoversTheDoubleByteIdeographs()
{
    const QString withoutReading = u"兙兡嗧桛烪瓧瓰瓱瓼甅"_s;
    QString missing;
    int covered = 0;
    for (char32_t c = 0x4E00; c <= 0x9FA5; ++c) {
        QVERIFY(isGbkDoubleByte(c));
        if (pinyinLetter(c))
            ++covered;
        else
            missing += QChar(char16_t(c));
    }
    QCOMPARE(missing, withoutReading);
    QCOMPARE(covered, 20902 - 10);
}

void PinyinTest::characterInTwoBlocksTakesTheFirst()
{
    const QMap<QChar, QString> blocks = shippedBlocks();
    QVERIFY(blocks.value(u'd').contains(u'大'));
    QVERIFY(blocks.value(u't').contains(u'大'));
    QCOMPARE(pinyinLetter(U'大'), 'd');
    QVERIFY(blocks.value(u'h').contains(u'行'));
    QVERIFY(blocks.value(u'x').contains(u'行'));
    QCOMPARE(pinyinLetter(U'行'), 'h');
}

QTEST_APPLESS_MAIN(PinyinTest)
#include "PinyinTest.moc"
