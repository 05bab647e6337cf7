#include "InjectionCardText.h"

#include "DataStore.h"
#include "TestSupport.h"

#include <QTest>

using namespace qelvaro;

namespace {

// Lines joined with CR LF, each one ended by it, as the body and the card hold them.
QString lines(std::initializer_list<const char16_t*> items)
{
    QString text;
    for (const char16_t* item : items)
        text += QString::fromUtf16(item) + u"\r\n"_qs;
    return text;
}

}  // namespace

class InjectionCardTextTest : public QObject {
    Q_OBJECT
private slots:
    void buildsTheCard_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("card");

        QTest::newRow("empty body") << QString() << QString();
        QTest::newRow("no usage line") << lines({u"5%葡萄糖注射液  250ml", u"生脉注射液  10ml"}) << QString();
        QTest::newRow("infusion group, blank line dropped")
            << lines({u"5%葡萄糖注射液  250ml", u"生脉注射液  10ml", u"    用法：iv/gtt qd", u""})
            << lines({u"5%葡萄糖注射液  250ml", u"生脉注射液  10ml", u"    用法：iv/gtt qd"});
        QTest::newRow("route-less group dropped")
            << lines({u"复方甘草片  100片", u"    用法：3片 tid", u""}) << QString();
        QTest::newRow("three groups, middle one oral")
            << lines({u"0.9%氯化钠注射液  100ml", u"    用法：iv/gtt qd", u"", u"阿莫西林胶囊  0.25g*24",
                      u"    用法：0.5g tid", u"", u"维生素B12注射液  0.5mg", u"    用法：im st", u""})
            << lines({u"0.9%氯化钠注射液  100ml", u"    用法：iv/gtt qd", u"维生素B12注射液  0.5mg",
                      u"    用法：im st"});
        QTest::newRow("unclosed trailing group dropped")
            << lines({u"甲", u"    用法：iv st", u"", u"乙"}) + u"丙"_qs
            << lines({u"甲", u"    用法：iv st"});
        QTest::newRow("last usage line without a line break")
            << u"甲\r\n    用法：iv st"_qs << lines({u"甲", u"    用法：iv st"});
        QTest::newRow("blank-only lines dropped, blanks inside kept")
            << lines({u"  甲  ", u"   ", u"    用法：静滴 qd  "})
            << lines({u"  甲  ", u"    用法：静滴 qd  "});
        QTest::newRow("tab line is not blank") << lines({u"\t", u"    用法：iv"}) << lines({u"\t", u"    用法：iv"});
        QTest::newRow("LF body") << u"甲\n    用法：iv st\n\n乙\n"_qs << lines({u"甲", u"    用法：iv st"});
        QTest::newRow("CR body") << u"甲\r    用法：iv st\r\r乙\r"_qs << lines({u"甲", u"    用法：iv st"});
        QTest::newRow("paragraph separators") << u"甲\u2029    用法：iv st\u2029"_qs << lines({u"甲", u"    用法：iv st"});

        // Usage lines: "sig" in any ASCII case, "用法" exactly.
        QTest::newRow("sig closes a group") << lines({u"甲", u"Sig: iv qd"}) << lines({u"甲", u"Sig: iv qd"});
        QTest::newRow("SIG in capitals") << lines({u"甲", u"SIG IM"}) << lines({u"甲", u"SIG IM"});
        QTest::newRow("sig in a drug line closes its group")
            << lines({u"Signoflex  1支", u"乙", u"    用法：iv st"}) << lines({u"乙", u"    用法：iv st"});
        QTest::newRow("route without usage mark is no usage line")
            << lines({u"甲 iv/gtt qd", u"乙"}) << QString();
        QTest::newRow("full-width letters are not sig")
            << lines({u"甲", u"ｓｉｇ iv"}) << QString();
        QTest::newRow("long s is not s") << lines({u"甲", u"ſig iv"}) << QString();

        // Keywords: substrings, ASCII case ignored, anywhere in the usage line.
        QTest::newRow("H matches q8h") << lines({u"甲", u"    用法：1g q8h"}) << lines({u"甲", u"    用法：1g q8h"});
        QTest::newRow("H matches HS") << lines({u"甲", u"    用法：1片 HS"}) << lines({u"甲", u"    用法：1片 HS"});
        QTest::newRow("IV in capitals") << lines({u"甲", u"    用法：IVGTT"}) << lines({u"甲", u"    用法：IVGTT"});
        QTest::newRow("keyword at the start") << lines({u"甲", u"im用法"}) << lines({u"甲", u"im用法"});
        QTest::newRow("keyword inside a word") << lines({u"甲", u"    用法：Time"}) << lines({u"甲", u"    用法：Time"});
        QTest::newRow("full-width IV is no route") << lines({u"甲", u"    用法：ＩＶ"}) << QString();
        QTest::newRow("several keywords append once")
            << lines({u"甲", u"    用法：iv/gtt 皮试 h"}) << lines({u"甲", u"    用法：iv/gtt 皮试 h"});
    }
    void buildsTheCard()
    {
        QFETCH(QString, body);
        QFETCH(QString, card);
        QCOMPARE(injectionCardText(body), card);
    }

    void everyRouteKeywordPutsItsGroupOnTheCard_data()
    {
        QTest::addColumn<QString>("usage");
        for (const char16_t* keyword : {u"iv/gtt", u"iv", u"ivgtt", u"im", u"H", u"静注", u"静脉滴注", u"静滴",
                                        u"静推", u"静脉推注", u"加滴管", u"皮试", u"微泵", u"iv-vp", u"皮下",
                                        u"皮内", u"肌注", u"肌肉注射", u"入小壶"}) {
            const QString k = QString::fromUtf16(keyword);
            QTest::newRow(qPrintable(k)) << u"    用法：1支 "_qs + k;
            const QString otherCase = k == k.toUpper() ? k.toLower() : k.toUpper();
            if (otherCase != k)
                QTest::newRow(qPrintable(otherCase)) << u"    用法：1支 "_qs + otherCase;
        }
    }
    void everyRouteKeywordPutsItsGroupOnTheCard()
    {
        QFETCH(QString, usage);
        const QString body = lines({u"甲", u"乙"}) + usage + u"\r\n\r\n丙\r\n"_qs;
        QCOMPARE(injectionCardText(body), lines({u"甲", u"乙"}) + usage + u"\r\n"_qs);
    }

    // The sample prescription that a first start writes: its stored card is the card of its body.
    void sampleRecordCardMatchesItsBody()
    {
        test::TempProgramFolder folder;
        DataStore store(folder.paths());
        QVERIFY(store.open());
        Statement row = store.records()->prepare(R"(SELECT "T1", "T2" FROM "档案")");
        QVERIFY(row.next());
        QVERIFY(!row.text("T1").isEmpty());
        QCOMPARE(injectionCardText(row.text("T1")), row.text("T2"));
    }
};

QTEST_GUILESS_MAIN(InjectionCardTextTest)
#include "InjectionCardTextTest.moc"
