#include "CatalogueWidgets.h"
#include "DrugCatalogueWindow.h"
#include "ListedTexts.h"
#include "ProgramFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {


bool isBold(const QPushButton* button) { return button->font().bold(); }

}  // namespace

class DrugCatalogueWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_fx;
    std::unique_ptr<DrugCatalogueWindow> m_window;

    Database& db() { return *m_fx->store.settings(); }
    qint64 addDrug(const QString& code, const QString& name, const QString& category)
    {
        Statement st = db().prepare(R"(INSERT INTO "药品" ("拼音", "名称", "分类") VALUES (?, ?, ?))");
        return st.bindAll(code, name, category).run() ? db().lastInsertRowId() : -1;
    }
    QString storedName(qint64 rowId)
    {
        Statement st = db().prepare(R"(SELECT "名称" FROM "药品" WHERE rowid = ?)");
        st.bind(1, rowId);
        return st.next() ? st.text(0) : QStringLiteral("<gone>");
    }
    qint64 drugCount()
    {
        Statement st = db().prepare(R"(SELECT count(*) FROM "药品")");
        return st.next() ? st.integer(0) : -1;
    }
    DrugCatalogueWindow& window() { return *m_window; }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    QPushButton* button(const char* name) { return m_window->findChild<QPushButton*>(QString::fromLatin1(name)); }

private slots:
    void init()
    {
        m_fx = std::make_unique<ProgramFixture>();
        QVERIFY(m_fx->opened);
        QVERIFY(db().exec(R"(DELETE FROM "药品")"));
        addDrug("tbabkl", "头孢氨苄颗粒 0.125g*12\\0.25 tid", "抗生素");
        addDrug("amxl", "阿莫西林胶囊 0.25*24\\0.5 tid", "抗生素");
        addDrug("xxx", "类似抗生素", "抗生素类");
        addDrug("pttzsy", "葡萄糖注射液 5%", "输液");
        addDrug("xdw", "无码药", "输液");
        QVERIFY(db().exec(R"(UPDATE "药品" SET "拼音" = NULL WHERE "名称" = '无码药')"));
        m_window = std::make_unique<DrugCatalogueWindow>(m_fx->context);
        m_window->open();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_fx.reset();
    }

    void opensOnTheExactCategoryWithTheFirstDrugLoaded()
    {
        QCOMPARE(listed(window().list()), (QStringList{"阿莫西林胶囊 0.25*24\\0.5 tid", "头孢氨苄颗粒 0.125g*12\\0.25 tid"}));
        QVERIFY(isBold(window().categoryButton(0)));
        QCOMPARE(window().nameBox()->text(), QStringLiteral("阿莫西林胶囊 0.25*24"));
        QCOMPARE(window().usageBox()->text(), QStringLiteral("0.5 tid"));
        QCOMPARE(window().codeBox()->text(), QStringLiteral("amxl"));
        QCOMPARE(window().categoryBox()->currentText(), QStringLiteral("抗生素"));
        QCOMPARE(QApplication::focusWidget(), button("addButton"));

        // The button lists every category that contains its caption.
        click(window().categoryButton(0));
        QCOMPARE(window().list()->count(), 3);
        // A row without a code keeps the code computed from its name.
        click(window().categoryButton(1));
        window().list()->setCurrentRow(1);
        QCOMPARE(window().nameBox()->text(), QStringLiteral("无码药"));
        QCOMPARE(window().codeBox()->text(), QStringLiteral("wmy"));
        // Also after a drug of the same name with a code of its own: never that drug's code.
        addDrug("zbwmy", "无码药", "外用");
        QVERIFY(db().exec(R"(INSERT INTO "药品" ("名称", "分类") VALUES ('无码药', '外用'))"));
        click(window().categoryButton(9));
        QCOMPARE(window().codeBox()->text(), QStringLiteral("zbwmy"));
        window().list()->setCurrentRow(1);
        QCOMPARE(window().codeBox()->text(), QStringLiteral("wmy"));
    }

    void searchIsLiteralAndClosingInSearchModeListsNothing()
    {
        typeText(window().searchBox(), "AMX");
        QVERIFY(isBold(window().categoryButton(kDrugSearchMode)));
        QVERIFY(!isBold(window().categoryButton(0)));
        QCOMPARE(listed(window().list()), QStringList{"阿莫西林胶囊 0.25*24\\0.5 tid"});
        window().searchBox()->setText("a_x");
        QCOMPARE(window().list()->count(), 0);
        window().searchBox()->setText("'");
        QCOMPARE(window().list()->count(), 0);
        // Every drug with a code; the one without has nothing to match.
        window().searchBox()->clear();
        QCOMPARE(window().list()->count(), 4);

        window().searchBox()->setText("amx");
        window().close();
        window().open();
        QCOMPARE(window().list()->count(), 0);
        QVERIFY(isBold(window().categoryButton(0)));
        QCOMPARE(window().mode(), kDrugSearchMode);
        QVERIFY(window().searchBox()->text().isEmpty());

        // The drug picked before the close is not behind the empty boxes: 删除 removes nothing
        // and 保存 adds a new drug.
        click(button("deleteButton"));
        QCOMPARE(drugCount(), 5);
        window().nameBox()->setText("新药");
        click(button("saveButton"));
        QCOMPARE(drugCount(), 6);
        QCOMPARE(storedName(2), QStringLiteral("阿莫西林胶囊 0.25*24\\0.5 tid"));
    }

    void codeBoxFollowsTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("amxl") << "阿莫西林" << "amxl";
        QTest::newRow("hxzqs") << "藿香正气水" << "hxzqs";
        QTest::newRow("stops at blank") << "维生素B1 片" << "wssb1";
        QTest::newRow("percent") << "5%葡萄糖" << "5ptt";
        QTest::newRow("outer blanks") << "  上呼吸道感染 " << "shxdgr";
    }
    void codeBoxFollowsTheName()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        click(button("addButton"));
        typeText(window().nameBox(), name);
        QCOMPARE(window().codeBox()->text(), code);
    }

    void theSavedRowStaysBoundUntilDeleted_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("firstName");
        QTest::addColumn<QString>("secondName");
        QTest::addColumn<QString>("usage");
        QTest::newRow("added") << true << "ZQXBAR1" << "ZQXBAR2" << "10mg";
        // The corrected name sorts first: the row is found by its id, not by its place.
        QTest::newRow("picked") << false << "头孢氨苄颗粒 0.125g*12" << "阿奇霉素片 0.25g*6" << "0.5 tid";
    }
    void theSavedRowStaysBoundUntilDeleted()
    {
        QFETCH(bool, adding);
        QFETCH(QString, firstName);
        QFETCH(QString, secondName);
        QFETCH(QString, usage);
        // The lists come from the drug index, which has to follow every write.
        m_fx->context.searchIndexes.loadNow(m_fx->store.records(), m_fx->store.settings());
        QSignalSpy written(&m_fx->context.catalogueChanges, &CatalogueChanges::rowWritten);
        if (adding) {
            click(button("addButton"));
            typeText(window().nameBox(), firstName);
        } else {
            window().list()->setCurrentRow(1);  // 头孢氨苄, row 1
            QCOMPARE(window().nameBox()->text(), firstName);
        }
        window().usageBox()->setText(usage);
        click(button("saveButton"));
        QCOMPARE(written.size(), 1);
        const qint64 row = written.at(0).at(1).toLongLong();
        if (!adding)
            QCOMPARE(row, 1);
        const qint64 drugs = drugCount();
        QCOMPARE(storedName(row), firstName + "\\" + usage);
        QVERIFY(!window().list()->selectedRowId());
        QCOMPARE(QApplication::focusWidget(), button("addButton"));

        // Corrected and saved again: the same row, no second one.
        window().nameBox()->setText(secondName);
        click(button("saveButton"));
        QCOMPARE(drugCount(), drugs);
        QCOMPARE(storedName(row), secondName + "\\" + usage);
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.at(1).at(1).toLongLong(), row);
        QVERIFY(!window().list()->selectedRowId());
        const QStringList shown = listed(window().list());
        QCOMPARE(shown.count(secondName + "\\" + usage), 1);
        QVERIFY(!shown.contains(firstName + "\\" + usage));

        // 删除 removes that row; then nothing is bound: 删除 does nothing, 保存 adds.
        click(button("deleteButton"));
        QCOMPARE(storedName(row), QStringLiteral("<gone>"));
        QCOMPARE(drugCount(), drugs - 1);
        QVERIFY(window().nameBox()->text().isEmpty());
        QVERIFY(!listed(window().list()).contains(secondName + "\\" + usage));
        QVERIFY(!window().list()->selectedRowId());
        click(button("deleteButton"));
        QCOMPARE(drugCount(), drugs - 1);
        window().nameBox()->setText("头孢氨苄片");
        click(button("saveButton"));
        QCOMPARE(drugCount(), drugs);
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    // Whenever the list picks nothing, or the pick finds its row gone, the boxes stand for no row:
    // 删除 removes nothing, and 保存 adds what they show as a new drug.
    void nothingPickedLeavesNothingBound_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("search without hits") << "search";
        QTest::newRow("category without drugs") << "category";
        QTest::newRow("picked drug deleted outside") << "gone";
    }
    void nothingPickedLeavesNothingBound()
    {
        QFETCH(QString, how);
        // The lists come from the drug index, which knows nothing of a deletion outside.
        m_fx->context.searchIndexes.loadNow(m_fx->store.records(), m_fx->store.settings());
        const QString amoxicillin = QStringLiteral("阿莫西林胶囊 0.25*24\\0.5 tid");
        if (how == u"search") {
            typeText(window().searchBox(), "a");
            QCOMPARE(window().nameBox()->text(), QStringLiteral("阿莫西林胶囊 0.25*24"));
            typeText(window().searchBox(), "q");
            QCOMPARE(window().list()->count(), 0);
        } else if (how == u"category") {
            click(window().categoryButton(3));
            QCOMPARE(window().list()->count(), 0);
        } else {
            QVERIFY(db().exec(R"(DELETE FROM "药品" WHERE rowid = 1)"));
            window().list()->setCurrentRow(1);  // 头孢氨苄, gone
            QCOMPARE(listed(window().list()), QStringList{amoxicillin});
            QVERIFY(!window().list()->selectedRowId());
        }
        QCOMPARE(window().nameBox()->text(), QStringLiteral("阿莫西林胶囊 0.25*24"));
        const qint64 drugs = drugCount();

        click(button("deleteButton"));
        QCOMPARE(drugCount(), drugs);
        QCOMPARE(storedName(2), amoxicillin);
        window().nameBox()->setText("阿莫西林胶囊 0.5*24");
        click(button("saveButton"));
        QCOMPARE(drugCount(), drugs + 1);
        QCOMPARE(storedName(2), amoxicillin);
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    void aPickAfterASaveBindsThePickedRow()
    {
        window().list()->setCurrentRow(1);  // 头孢氨苄, row 1
        window().usageBox()->setText("0.5 tid");
        click(button("saveButton"));
        window().list()->setCurrentRow(0);  // 阿莫西林, row 2
        window().usageBox()->setText("0.25 qid");
        click(button("saveButton"));
        QCOMPARE(storedName(1), QStringLiteral("头孢氨苄颗粒 0.125g*12\\0.5 tid"));
        QCOMPARE(storedName(2), QStringLiteral("阿莫西林胶囊 0.25*24\\0.25 qid"));
        // Delete the bound row; a second 删除 never reaches the next one.
        click(button("deleteButton"));
        QCOMPARE(storedName(2), QStringLiteral("<gone>"));
        click(button("deleteButton"));
        QCOMPARE(drugCount(), 4);
        QCOMPARE(storedName(1), QStringLiteral("头孢氨苄颗粒 0.125g*12\\0.5 tid"));
    }

    void addSavesIntoTheCategoryItNames()
    {
        QSignalSpy written(&m_fx->context.catalogueChanges, &CatalogueChanges::rowWritten);
        click(button("addButton"));
        QCOMPARE(QApplication::focusWidget(), window().nameBox());
        QCOMPARE(window().categoryBox()->currentText(), QStringLiteral("抗生素"));
        typeText(window().nameBox(), "硝苯地平片 10mg*100");
        QTest::keyClick(window().nameBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), window().usageBox());
        typeText(window().usageBox(), "10mg ");
        // The palette inserts at the caret of the box last focused.
        QTest::mouseClick(window().findChild<QWidget*>("abbreviation_tid"), Qt::LeftButton);
        QCOMPARE(window().usageBox()->text(), QStringLiteral("10mg tid"));
        QCOMPARE(QApplication::focusWidget(), window().usageBox());
        window().categoryBox()->setEditText("心血管");
        window().usageBox()->setFocus();
        QTest::keyClick(window().usageBox(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), button("saveButton"));
        QTest::keyClick(button("saveButton"), Qt::Key_Return);

        QCOMPARE(written.size(), 1);
        QCOMPARE(storedName(written.at(0).at(1).toLongLong()), QStringLiteral("硝苯地平片 10mg*100\\10mg tid"));
        QCOMPARE(window().mode(), 2);
        QVERIFY(isBold(window().categoryButton(2)));
        QCOMPARE(listed(window().list()), QStringList{"硝苯地平片 10mg*100\\10mg tid"});
        QVERIFY(!window().target().adding);
        QCOMPARE(QApplication::focusWidget(), button("addButton"));
        QCOMPARE(m_fx->messages.messages.size(), 0);
    }

    void addingThenPickingSavesACopyAndSearchModeStays()
    {
        typeText(window().searchBox(), "tb");
        click(button("addButton"));
        // Clicking the selected drug loads it; a pick does not end adding.
        QTest::mouseClick(window().list()->viewport(), Qt::LeftButton, {},
                          window().list()->itemRect(0).center());
        QCOMPARE(window().nameBox()->text(), QStringLiteral("头孢氨苄颗粒 0.125g*12"));
        window().usageBox()->setText("0.5 qid");
        window().categoryBox()->setEditText("自备药");
        click(button("saveButton"));
        QCOMPARE(drugCount(), 6);
        QCOMPARE(storedName(1), QStringLiteral("头孢氨苄颗粒 0.125g*12\\0.25 tid"));
        // A category outside the thirteen keeps search mode and lists the search again.
        QCOMPARE(window().mode(), kDrugSearchMode);
        QVERIFY(isBold(window().categoryButton(kDrugSearchMode)));
        QCOMPARE(listed(window().list()),
                 (QStringList{"头孢氨苄颗粒 0.125g*12\\0.25 tid", "头孢氨苄颗粒 0.125g*12\\0.5 qid"}));
    }

    void anEmptyNameIsRefusedWhateverElseIsTyped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("usage");
        QTest::addColumn<QString>("code");
        QTest::newRow("blanks") << "   " << "" << "";
        QTest::newRow("blanks, usage") << "   " << "tid" << "";
        QTest::newRow("blanks, code") << "   " << "" << "jp";
        QTest::newRow("empty, usage") << "" << "键盘测试片 5mg*30" << "";
        QTest::newRow("empty, usage, code") << "" << "键盘测试片 5mg*30" << "jp";
    }
    void anEmptyNameIsRefusedWhateverElseIsTyped()
    {
        QFETCH(QString, name);
        QFETCH(QString, usage);
        QFETCH(QString, code);
        click(button("addButton"));
        window().nameBox()->setText(name);
        window().usageBox()->setText(usage);
        window().codeBox()->setText(code);
        const QStringList before = listed(window().list());
        click(button("saveButton"));
        QCOMPARE(m_fx->messages.texts(), QStringList{"“药品名称”不能为空，未保存。"});
        QCOMPARE(window().nameBox()->text(), name);
        QCOMPARE(window().usageBox()->text(), usage);
        QCOMPARE(window().codeBox()->text(), code);
        QVERIFY(window().target().adding);
        QCOMPARE(listed(window().list()), before);
        QCOMPARE(drugCount(), 5);
    }

    void listMenuKeysActWhileTheMenuIsOpen()
    {
        QMenu* menu = window().listMenu();
        CatalogueList* list = window().list();
        list->setCurrentRow(1);  // 头孢氨苄, row 1
        const auto openMenu = [&] {
            QTest::mouseClick(list->viewport(), Qt::RightButton, {}, list->itemRect(1).center());
            return QTest::qWaitForWindowExposed(menu);
        };
        // With the menu closed the keys do nothing: a slip beside Ctrl+V deletes no drug.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(window().nameBox(), Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(drugCount(), 5);

        QVERIFY(openMenu());
        QTest::keyClick(menu, Qt::Key_D, Qt::ControlModifier);
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(drugCount(), 5);
        QCOMPARE(window().nameBox()->text(), QStringLiteral("头孢氨苄颗粒 0.125g*12"));

        QVERIFY(openMenu());
        QTest::keyClick(menu, Qt::Key_B, Qt::ControlModifier);
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(storedName(1), QStringLiteral("<gone>"));
        QCOMPARE(drugCount(), 4);
        QVERIFY(window().nameBox()->text().isEmpty());
    }

    void paletteAndListMenuNeedTheirTarget()
    {
        auto* list = window().list();
        QTest::mouseClick(window().findChild<QWidget*>("abbreviation_mg"), Qt::LeftButton);
        QCOMPARE(window().nameBox()->text(), QStringLiteral("阿莫西林胶囊 0.25*24"));
        // The right button keeps the selection and opens the menu over a filled list only.
        const QRect second = list->itemRect(1);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, second.center());
        QCOMPARE(list->currentRow(), 0);
        QTRY_VERIFY(window().listMenu()->isVisible());
        window().listMenu()->hide();
        window().searchBox()->setText("zzz");
        QTest::mouseClick(list->viewport(), Qt::RightButton);
        QVERIFY(!window().listMenu()->isVisible());
    }
};

QTEST_MAIN(DrugCatalogueWindowTest)
#include "DrugCatalogueWindowTest.moc"
