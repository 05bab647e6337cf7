#include "CatalogueChanges.h"
#include "DrugStore.h"
#include "NameStore.h"
#include "TextBlockStore.h"
#include "DataStore.h"
#include "ListedTexts.h"
#include "SearchIndexes.h"
#include "StoreFixture.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;


class CatalogueStoreTest : public QObject {
    Q_OBJECT

    std::unique_ptr<StoreFixture> m_fixture;
    DataStore* m_store = nullptr;
    std::unique_ptr<CatalogueChanges> m_changes;

    Database& db() { return *m_store->settings(); }
    qint64 count(const char* table)
    {
        Statement st = db().prepare(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(QString::fromUtf8(table)).toStdString());
        return st.next() ? st.integer(0) : -1;
    }
    qint64 addDrug(const QString& code, const QString& name, const QString& category)
    {
        Statement st = db().prepare(R"(INSERT INTO "药品" ("拼音", "名称", "分类") VALUES (?, ?, ?))");
        return st.bindAll(code, name, category).run() ? db().lastInsertRowId() : -1;
    }

private slots:
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        QVERIFY(m_fixture->opened);
        m_store = &m_fixture->store;
        QVERIFY(db().exec(R"(DELETE FROM "药品"; DELETE FROM "个人组套"; DELETE FROM "病史模板";
                             DELETE FROM "诊断"; DELETE FROM "地址";)"));
        m_changes = std::make_unique<CatalogueChanges>();
    }
    void cleanup()
    {
        m_store = nullptr;
        m_fixture.reset();
    }

    void drugEntrySplitAndJoin_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("usage");
        QTest::addColumn<bool>("joinsBack");
        QTest::newRow("name only") << "青霉素针 960万" << "青霉素针 960万" << "" << true;
        QTest::newRow("with usage") << "阿莫西林片 0.25*24\\0.5 tid" << "阿莫西林片 0.25*24" << "0.5 tid" << true;
        QTest::newRow("two backslashes") << "a\\b\\c" << "a" << "b\\c" << true;
        QTest::newRow("usage only") << "\\10ml tid" << "" << "10ml tid" << true;
        // An empty usage is not written, so the trailing backslash does not come back.
        QTest::newRow("trailing backslash") << "x\\" << "x" << "" << false;
    }
    void drugEntrySplitAndJoin()
    {
        QFETCH(QString, stored);
        QFETCH(QString, name);
        QFETCH(QString, usage);
        QFETCH(bool, joinsBack);
        const DrugEntryText parts = drugEntryBoxes(stored);
        QCOMPARE(parts, (DrugEntryText{name, usage}));
        QCOMPARE(joinDrugEntry(parts.name, parts.usage) == stored, joinsBack);
    }

    void drugCodeAndCategoryRules()
    {
        QCOMPARE(drugCodeToStore(QStringLiteral("  amx "), QStringLiteral("阿莫西林")), QStringLiteral("amx"));
        QCOMPARE(drugCodeToStore(QStringLiteral("   "), QStringLiteral(" 阿莫西林 ")), QStringLiteral("阿莫西林"));
        QCOMPARE(drugCodeToStore(QString(), QStringLiteral("   ")), QString());
        QCOMPARE(categoryAfterSave(QStringLiteral("心血管"), 0), 2);
        QCOMPARE(categoryAfterSave(QStringLiteral("中药"), 13), 12);
        QCOMPARE(categoryAfterSave(QStringLiteral("心血管 "), 13), 13);
        QCOMPARE(categoryAfterSave(QStringLiteral("ABC"), 4), 4);
        QCOMPARE(drugCategories().size(), kDrugCategoryCount);
    }

    void drugListsAndSearch()
    {
        addDrug("zyb", "中药包", "中药");
        addDrug("ymx", "阿莫西林", "抗生素");
        addDrug("tm", "头孢", "抗生素类");
        addDrug("a%b", "百分", "其他");
        addDrug("AXB", "大写", "其他");
        DrugStore drugs(&db(), m_changes.get());
        // Contains for the buttons, exactly equal on opening; names in pinyin order.
        QCOMPARE(texts(drugs.containingCategory("抗生素")), (QStringList{"阿莫西林", "头孢"}));
        QCOMPARE(texts(drugs.ofCategory("抗生素")), QStringList{"阿莫西林"});
        QCOMPARE(texts(drugs.ofCategory("全部")), QStringList{});
        // Typed text is literal and ASCII case is ignored; a quote is an ordinary character.
        QCOMPARE(texts(drugs.search("%")), QStringList{"百分"});
        QCOMPARE(texts(drugs.search("a_b")), QStringList{});
        QCOMPARE(texts(drugs.search("axb")), QStringList{"大写"});
        QCOMPARE(texts(drugs.search("'")), QStringList{});
        QCOMPARE(drugs.search("").size(), 5);
    }

    void drugSaveAndDeleteActOnTheirRow()
    {
        DrugStore drugs(&db(), m_changes.get());
        QSignalSpy written(m_changes.get(), &CatalogueChanges::rowWritten);
        QSignalSpy removed(m_changes.get(), &CatalogueChanges::rowRemoved);
        const WriteResult a = drugs.save(std::nullopt, {"甲药\\0.5 tid", "jy", "抗生素"});
        const WriteResult b = drugs.save(std::nullopt, {"乙药", "yy", "抗生素"});
        QVERIFY(a.ok() && b.ok());
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.at(1).at(0).value<CatalogueTable>(), CatalogueTable::Drugs);
        QCOMPARE(written.at(1).at(1).toLongLong(), *b.rowId);

        // A change that moves the row elsewhere in the sort order still lands on that row.
        QVERIFY(drugs.save(b.rowId, {"丙药", "by", "输液"}).ok());
        QCOMPARE(drugs.read(*b.rowId)->name, QStringLiteral("丙药"));
        QCOMPARE(drugs.read(*a.rowId)->name, QStringLiteral("甲药\\0.5 tid"));

        QVERIFY(drugs.remove(*a.rowId));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(count("药品"), 1);
        // The row is gone: a second delete removes nothing else, an update is refused.
        QVERIFY(drugs.remove(*a.rowId));
        QCOMPARE(count("药品"), 1);
        QCOMPARE(removed.size(), 1);
        const WriteResult gone = drugs.save(a.rowId, {"甲药", "jy", "抗生素"});
        QVERIFY(!gone.ok());
        QCOMPARE(count("药品"), 1);
    }

    // No caller has to tell the drug index: the store's own writes keep it equal to the table.
    void drugWritesKeepTheDrugIndexCurrent()
    {
        addDrug("ymx", "阿莫西林", "抗生素");
        SearchIndexes indexes;
        indexes.loadNow(m_store->records(), &db());
        QVERIFY(indexes.drugs());
        DrugStore drugs(&db(), nullptr, &indexes);
        const DrugStore bySql(&db(), nullptr);
        const WriteResult added = drugs.save(std::nullopt, {"阿莫新", "ymxx", "抗生素"});
        QVERIFY(added.ok());
        QCOMPARE(texts(drugs.search("ymx")), (QStringList{"阿莫西林", "阿莫新"}));
        QVERIFY(drugs.save(added.rowId, {"头孢", "tb", "输液"}).ok());
        QCOMPARE(texts(drugs.search("ymx")), QStringList{"阿莫西林"});
        QCOMPARE(texts(drugs.ofCategory("输液")), QStringList{"头孢"});
        QVERIFY(drugs.remove(*added.rowId));
        for (const char* typed : {"", "tb", "ymx"})
            QCOMPARE(drugs.search(typed), bySql.search(typed));
        QCOMPARE(drugs.ofCategory("输液"), bySql.ofCategory("输液"));
    }

    void refusedDrugStoresWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("message");
        // The name is checked before the code, and a usage is no name.
        QTest::newRow("name of blanks") << "   " << "" << "抗生素" << "“药品名称”不能为空，未保存。";
        QTest::newRow("blanks with a code") << "   " << "x" << "抗生素" << "“药品名称”不能为空，未保存。";
        QTest::newRow("usage without a name") << "\\键盘测试片 5mg*30" << "x" << "抗生素" << "“药品名称”不能为空，未保存。";
        QTest::newRow("blanks before the usage") << "  \\tid" << "" << "抗生素" << "“药品名称”不能为空，未保存。";
        QTest::newRow("no code") << "药" << "" << "抗生素" << "“拼音代码”不能为空，未保存。";
        QTest::newRow("empty name") << "" << "x" << "抗生素" << "“药品名称”不能为空，未保存。";
        QTest::newRow("long name") << QString(201, u'药') << "y" << "抗生素" << "“药品名称”最多只能填写200个字，未保存。";
        QTest::newRow("long with usage") << QString(150, u'药') + "\\" + QString(60, u'x') << "y" << "抗生素"
                                         << "“药品名称”与“用法用量”合计最多只能填写200个字，未保存。";
        QTest::newRow("long code") << "药" << QString(51, u'y') << "抗生素" << "“拼音代码”最多只能填写50个字，未保存。";
        QTest::newRow("long category") << "药" << "y" << QString(51, u'类') << "“药品分类”最多只能填写50个字，未保存。";
    }
    void refusedDrugStoresWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, category);
        QFETCH(QString, message);
        DrugStore drugs(&db(), m_changes.get());
        QSignalSpy written(m_changes.get(), &CatalogueChanges::rowWritten);
        const WriteResult result = drugs.save(std::nullopt, {name, code, category});
        QVERIFY(!result.ok());
        QCOMPARE(result.refusal, message);
        QCOMPARE(count("药品"), 0);
        QCOMPARE(written.size(), 0);
    }

    void nameSearchCoversNameCodeAndTheSpan()
    {
        NameStore names(&db(), NameTable::Diagnoses, m_changes.get());
        QVERIFY(names.add("高血压病", "gxyb").ok());
        QVERIFY(names.add("感冒", "gm").ok());
        QVERIFY(names.add("50%烫伤", "50ts").ok());
        QVERIFY(names.add("高血压病", "gxyb").ok());  // the same name twice is two rows
        QCOMPARE(texts(names.all()), (QStringList{"高血压病", "感冒", "50%烫伤", "高血压病"}));
        QCOMPARE(texts(names.search("血压")), (QStringList{"高血压病", "高血压病"}));
        QCOMPARE(texts(names.search("GXY")), (QStringList{"高血压病", "高血压病"}));
        QCOMPARE(texts(names.search("病g")), (QStringList{"高血压病", "高血压病"}));
        QCOMPARE(texts(names.search("%")), QStringList{"50%烫伤"});
        QCOMPARE(texts(names.search("_")), QStringList{});
        QCOMPARE(texts(names.search("'")), QStringList{});
        // The other table is another catalogue.
        NameStore addresses(&db(), NameTable::Addresses, m_changes.get());
        QCOMPARE(addresses.all().size(), 0);
        Statement key = db().prepare(R"(SELECT "序号", "拼音" FROM "诊断" WHERE "名称" = '感冒')");
        QVERIFY(key.next());
        QCOMPARE(key.text(0), QStringLiteral("感冒gm"));
    }

    void refusedNamesWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("two blanks") << "  " << "" << "“拼音代码”不能为空，未保存。";
        QTest::newRow("long name") << QString(51, u'名') << "m" << "“地址名称”最多只能填写50个字，未保存。";
        QTest::newRow("key over 50") << QString(30, u'名') << QString(21, u'm')
                                     << "“地址名称”与“拼音代码”合计最多只能填写50个字，未保存。";
    }
    void refusedNamesWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QFETCH(QString, message);
        NameStore names(&db(), NameTable::Addresses, m_changes.get());
        const WriteResult result = names.add(name, code);
        QCOMPARE(result.refusal, message);
        QCOMPARE(count("地址"), 0);
    }

    void setContentDropsOneTrailingLineBreak_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("saved");
        QTest::newRow("two letters") << "ab\r\n" << "ab";
        QTest::newRow("two pairs") << "ab\r\n\r\n" << "ab\r\n";
        QTest::newRow("the pair alone") << "\r\n" << "\r\n";
        QTest::newRow("one letter") << "a\r\n" << "a";
        QTest::newRow("none") << "a\r\nb" << "a\r\nb";
    }
    void setContentDropsOneTrailingLineBreak()
    {
        QFETCH(QString, content);
        QFETCH(QString, saved);
        QCOMPARE(dropOneTrailingLineBreak(content), saved);
    }

    void setsAndTemplatesByIdentity()
    {
        TextBlockStore sets(&db(), TextBlockStore::Kind::Sets, m_changes.get());
        const WriteResult a = sets.save(std::nullopt, {"感冒组套", "gmzt", "甲\r\n乙"}, kPersonalSetKind);
        const WriteResult b = sets.save(std::nullopt, {"感冒方", "gmf", "麻黄 6g"}, kRecipeKind);
        QVERIFY(a.ok() && b.ok());
        QCOMPARE(texts(sets.list(kPersonalSetKind)), QStringList{"感冒组套"});
        QCOMPARE(texts(sets.list(kRecipeKind)), QStringList{"感冒方"});
        QVERIFY(sets.save(a.rowId, {"咳嗽组套", "kszt", "丙"}, kPersonalSetKind).ok());
        QCOMPARE(sets.read(*a.rowId)->content, QStringLiteral("丙"));
        QCOMPARE(sets.read(*b.rowId)->name, QStringLiteral("感冒方"));
        // The schema wants a code for a set: a name of blanks gives none.
        QCOMPARE(sets.save(std::nullopt, {"  ", "", "x"}, kPersonalSetKind).refusal,
                 QStringLiteral("“拼音”不能为空，未保存。"));

        TextBlockStore templates(&db(), TextBlockStore::Kind::Templates, m_changes.get());
        QSignalSpy written(m_changes.get(), &CatalogueChanges::rowWritten);
        const WriteResult t = templates.save(std::nullopt, {"感冒", "gm", "咳嗽三天"});
        QVERIFY(t.ok());
        QCOMPARE(written.at(0).at(0).value<CatalogueTable>(), CatalogueTable::Templates);
        Statement key = db().prepare(R"(SELECT "序号" FROM "病史模板" WHERE rowid = ?)");
        key.bind(1, *t.rowId);
        QVERIFY(key.next());
        QCOMPARE(key.text(0), QStringLiteral("感冒gm"));
        QCOMPARE(templates.save(std::nullopt, {QString(40, u'名'), QString(11, u'm'), "x"}).refusal,
                 QStringLiteral("“名称”与“拼音”合计最多只能填写50个字，未保存。"));
        // A null column reads as the empty text.
        QVERIFY(db().exec(R"(INSERT INTO "病史模板" ("名称", "序号") VALUES ('空', '空k'))"));
        QCOMPARE(templates.read(db().lastInsertRowId())->content, QString());
        QCOMPARE(templates.read(db().lastInsertRowId())->code, QString());
        QVERIFY(templates.remove(*t.rowId));
        QCOMPARE(texts(templates.list()), QStringList{"空"});
    }
};

QTEST_GUILESS_MAIN(CatalogueStoreTest)
#include "CatalogueStoreTest.moc"
