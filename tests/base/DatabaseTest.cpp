#include "Database.h"
#include "Gbk.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qelvaro;

class DatabaseTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;

private slots:
    void init()
    {
        m_db = Database::open(m_dir.filePath(QStringLiteral("t.dat")), "key", nullptr, nullptr, true);
        QVERIFY(m_db);
        QVERIFY(m_db->exec("DROP TABLE IF EXISTS t; CREATE TABLE t (\"名称\" TEXT NOT NULL CHECK (\"名称\" <> ''), n TEXT)"));
    }
    void cleanup() { m_db.reset(); }

    void userTextRoundTripsThroughParameters_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << QStringLiteral("O'Brien \"x\"");
        QTest::newRow("sql") << QStringLiteral("'); DROP TABLE t; --");
        QTest::newRow("wildcards") << QStringLiteral("50%_[a]\\");
        QTest::newRow("outside the BMP") << QStringLiteral("𠀀😀张");
        QTest::newRow("long") << QString(100000, u'药');
        QTest::newRow("line breaks") << QStringLiteral("a\r\nb\nc");
    }
    void userTextRoundTripsThroughParameters()
    {
        QFETCH(QString, text);
        Statement ins = m_db->prepare("INSERT INTO t (\"名称\", n) VALUES (?, ?)");
        QVERIFY(ins.bindAll(text, nullptr).run());
        Statement sel = m_db->prepare("SELECT rowid, * FROM t WHERE \"名称\" = ?");
        sel.bind(1, text);
        QVERIFY(sel.next());
        QCOMPARE(sel.text("名称"), text);
        QCOMPARE(sel.integer("rowid"), m_db->lastInsertRowId());
        QVERIFY(sel.isNull("n"));
        QCOMPARE(sel.text("n"), QString());            // null reads as empty text
        QCOMPARE(sel.text("no such column"), QString());
        QVERIFY(!sel.next());
        QVERIFY(sel.ok());
    }

    void likeContainsMatchesLiterally_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("matches");
        QTest::newRow("percent") << QStringLiteral("%") << QStringList{QStringLiteral("5%葡萄糖")};
        QTest::newRow("underscore") << QStringLiteral("a_b") << QStringList{QStringLiteral("a_b")};
        QTest::newRow("backslash") << QStringLiteral("\\") << QStringList{QStringLiteral("x\\y")};
        QTest::newRow("case ignored") << QStringLiteral("AMX") << QStringList{QStringLiteral("amxl")};
        QTest::newRow("empty matches all") << QString() << QStringList{QStringLiteral("5%葡萄糖"), QStringLiteral("a_b"), QStringLiteral("axb"), QStringLiteral("x\\y"), QStringLiteral("amxl")};
    }
    void likeContainsMatchesLiterally()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, matches);
        Statement ins = m_db->prepare("INSERT INTO t (\"名称\") VALUES (?)");
        for (const char* v : {"5%葡萄糖", "a_b", "axb", "x\\y", "amxl"}) {
            QVERIFY(ins.bind(1, QString::fromUtf8(v)).run());
        }
        Statement sel = m_db->prepare("SELECT \"名称\" FROM t WHERE \"名称\" LIKE ? ESCAPE '\\' ORDER BY rowid");
        sel.bind(1, likeContains(typed));
        QStringList found;
        while (sel.next())
            found << sel.text(0);
        QCOMPARE(found, matches);
    }

    void refusedRowIsReportedToTheCaller()
    {
        Statement ins = m_db->prepare("INSERT INTO t (\"名称\") VALUES (?)");
        QVERIFY(!ins.bind(1, QString()).run());
        QVERIFY(!ins.error().isEmpty());
        Statement bad = m_db->prepare("SELECT * FROM no_such_table");
        QVERIFY(!bad.isValid());
        QVERIFY(!bad.next());
        QVERIFY(!bad.error().isEmpty());
    }

    // UTF-8 cannot carry a lone surrogate: stored, it would come back as "?".
    void textThatCannotBeStoredIsRefused()
    {
        Statement ins = m_db->prepare("INSERT INTO t (\"名称\") VALUES (?)");
        QVERIFY(!ins.bind(1, QStringLiteral("张") + QChar(0xD840)).run());
        QVERIFY(!ins.error().isEmpty());
        Statement rows = m_db->prepare("SELECT count(*) FROM t");
        QVERIFY(rows.next());
        QCOMPARE(rows.integer(0), 0);
        QVERIFY(!isStorableText(QChar(0xDC00) + QStringLiteral("a")));
        QVERIFY(isStorableText(QStringLiteral("𠀀张")));
    }

    void transactionRollsBackUnlessCommitted()
    {
        {
            Transaction tx(*m_db);
            QVERIFY(tx.isActive());
            QVERIFY(m_db->exec("INSERT INTO t VALUES ('a', NULL)"));
        }
        {
            Transaction tx(*m_db);
            QVERIFY(m_db->exec("INSERT INTO t VALUES ('b', NULL)"));
            QVERIFY(tx.commit());
        }
        Statement sel = m_db->prepare("SELECT group_concat(\"名称\") FROM t");
        QVERIFY(sel.next());
        QCOMPARE(sel.text(0), QStringLiteral("b"));
    }

    void namesSortByCodePageBytes()
    {
        Statement ins = m_db->prepare("INSERT INTO t (\"名称\") VALUES (?)");
        const QStringList names{QStringLiteral("张三"), QStringLiteral("阿莫西林"), QStringLiteral("Zeta"), QStringLiteral("八珍"),
                                QStringLiteral("123"), QStringLiteral("😀"), QStringLiteral("阿"), QStringLiteral("李四")};
        for (const QString& n : names)
            QVERIFY(ins.bind(1, n).run());
        Statement sel = m_db->prepare("SELECT \"名称\" FROM t ORDER BY \"名称\" COLLATE GBK");
        QStringList sorted;
        while (sel.next())
            sorted << sel.text(0);
        // ASCII first, then pinyin order of the common characters, unknown characters last.
        QCOMPARE(sorted, (QStringList{QStringLiteral("123"), QStringLiteral("Zeta"), QStringLiteral("阿"), QStringLiteral("阿莫西林"),
                                      QStringLiteral("八珍"), QStringLiteral("李四"), QStringLiteral("张三"), QStringLiteral("😀")}));
    }

    void codePageWidths_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("ascii") << QStringLiteral("10g ") << 4;
        QTest::newRow("herb") << QStringLiteral("黄芪15g") << 7;
        QTest::newRow("full-width punctuation") << QStringLiteral("：，") << 4;
        QTest::newRow("outside the code page") << QStringLiteral("😀") << 1;
    }
    void codePageWidths()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QCOMPARE(gbkWidth(text), width);
    }
};

QTEST_GUILESS_MAIN(DatabaseTest)
#include "DatabaseTest.moc"
