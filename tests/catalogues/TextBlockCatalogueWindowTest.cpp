#include "CatalogueWidgets.h"
#include "ListedTexts.h"
#include "ProgramFixture.h"
#include "SetCatalogueWindow.h"
#include "TemplateCatalogueWindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {


void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

}  // namespace

class TextBlockCatalogueWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_fx;

    Database& db() { return *m_fx->store.settings(); }
    QStringList rows(const char* sql)
    {
        QStringList out;
        Statement st = db().prepare(sql);
        while (st.next()) {
            QStringList fields;
            for (int i = 0; i < st.columnCount(); ++i)
                fields << st.text(i);
            out << fields.join(u'|');
        }
        return out;
    }
    QStringList sets() { return rows(R"(SELECT "名称", "分类", "拼音", "内容" FROM "个人组套" ORDER BY rowid)"); }

    // A test of both windows, the set window and the template window.
    static void bothWindows()
    {
        QTest::addColumn<bool>("templates");
        QTest::newRow("sets") << false;
        QTest::newRow("templates") << true;
    }
    std::unique_ptr<TextBlockCatalogueWindow> openedWindow(bool templates)
    {
        std::unique_ptr<TextBlockCatalogueWindow> window;
        if (templates)
            window = std::make_unique<TemplateCatalogueWindow>(m_fx->context);
        else
            window = std::make_unique<SetCatalogueWindow>(m_fx->context);
        window->open();
        return window;
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<ProgramFixture>();
        QVERIFY(m_fx->opened);
        QVERIFY(db().exec(R"(DELETE FROM "个人组套"; DELETE FROM "病史模板";
            INSERT INTO "个人组套" ("名称", "分类", "拼音", "内容") VALUES
              ('感冒组套', '个人组套', 'gmzt', '甲' || char(13, 10) || '乙'),
              ('咳嗽组套', '个人组套', 'kszt', '丙'),
              ('感冒方', '中医验方', 'gmf', '麻黄 6g');)"));
    }
    void cleanup() { m_fx.reset(); }

    void setWindowOpensAddingAndSavesByIdentity()
    {
        SetCatalogueWindow window(m_fx->context);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(listed(window.list()), (QStringList{"感冒组套", "咳嗽组套"}));
        QCOMPARE(window.nameBox()->text(), QStringLiteral("感冒组套"));
        QCOMPARE(window.contentBox()->toPlainText(), QStringLiteral("甲\n乙"));
        QVERIFY(window.target().adding);
        QCOMPARE(QApplication::focusWidget(), window.addButton());

        // Opening leaves adding on: a changed first row is saved as a new set, and 保存 greys out.
        window.contentBox()->setPlainText("甲\n乙\n丁\n");
        click(window.saveButton());
        QCOMPARE(sets().size(), 4);
        QCOMPARE(sets().last(), QStringLiteral("感冒组套|个人组套|gmzt|甲\r\n乙\r\n丁"));
        QCOMPARE(window.contentBox()->toPlainText(), QStringLiteral("甲\n乙\n丁"));
        QVERIFY(!window.saveButton()->isEnabled());
        QVERIFY(!window.list()->selectedRowId());

        // The set just added is the row the boxes show: 删除 deletes it, and then nothing.
        click(window.deleteButton());
        QCOMPARE(sets().size(), 3);
        click(window.deleteButton());
        QCOMPARE(sets().size(), 3);

        // A picked row is overwritten, whatever its position.
        window.list()->setCurrentRow(1);
        QVERIFY(window.saveButton()->isEnabled());
        QCOMPARE(window.codeBox()->text(), QStringLiteral("kszt"));
        window.contentBox()->setPlainText("丙\n戊");
        click(window.saveButton());
        QCOMPARE(sets().at(1), QStringLiteral("咳嗽组套|个人组套|kszt|丙\r\n戊"));
        QVERIFY(window.saveButton()->isEnabled());
        QCOMPARE(sets().size(), 3);

        // Delete the picked row; a second 删除 removes nothing more.
        window.list()->setCurrentRow(0);
        click(window.deleteButton());
        QCOMPARE(sets().size(), 2);
        QVERIFY(!sets().contains(QStringLiteral("感冒组套|个人组套|gmzt|甲\r\n乙")));
        QVERIFY(window.nameBox()->text().isEmpty() && window.codeBox()->text().isEmpty());
        click(window.deleteButton());
        QCOMPARE(sets().size(), 2);
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    void kindSwitchAndEmptyKinds()
    {
        SetCatalogueWindow window(m_fx->context);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.kindButton(1)->click();
        QCOMPARE(window.kind(), kRecipeKind);
        QCOMPARE(listed(window.list()), QStringList{"感冒方"});
        QCOMPARE(window.nameBox()->text(), QStringLiteral("感冒方"));
        QVERIFY(!window.target().adding);

        QVERIFY(db().exec(R"(DELETE FROM "个人组套" WHERE "分类" = '个人组套')"));
        window.kindButton(0)->click();
        QCOMPARE(window.list()->count(), 0);
        QCOMPARE(window.nameBox()->text(), QStringLiteral("感冒方"));
        // The first entry of an empty kind: 添加, type, 保存.
        click(window.addButton());
        QCOMPARE(QApplication::focusWidget(), window.nameBox());
        typeText(window.nameBox(), "头痛组套");
        QCOMPARE(window.codeBox()->text(), QStringLiteral("ttzt"));
        window.contentBox()->setPlainText("川芎 6g");
        click(window.saveButton());
        QCOMPARE(listed(window.list()), QStringList{"头痛组套"});
        QCOMPARE(sets().last(), QStringLiteral("头痛组套|个人组套|ttzt|川芎 6g"));

        // Reopened on an empty kind after a recipe was picked: the empty boxes stand for no row,
        // so 删除 removes nothing and 保存 adds.
        window.kindButton(1)->click();
        QCOMPARE(window.nameBox()->text(), QStringLiteral("感冒方"));
        window.close();
        QVERIFY(db().exec(R"(DELETE FROM "个人组套" WHERE "分类" = '个人组套')"));
        window.open();
        QCOMPARE(window.list()->count(), 0);
        QVERIFY(window.nameBox()->text().isEmpty());
        click(window.deleteButton());
        QCOMPARE(sets(), QStringList{"感冒方|中医验方|gmf|麻黄 6g"});
    }

    void bothWindowsSaveOverTheRowTheyShow_data() { bothWindows(); }
    void bothWindowsSaveOverTheRowTheyShow()
    {
        QFETCH(bool, templates);
        QVERIFY(db().exec(R"(INSERT INTO "病史模板" ("名称", "内容", "序号", "拼音") VALUES
            ('胃炎', '胃痛', '胃炎wy', 'wy'), ('上呼吸道感染', '咳嗽', '上呼吸道感染shxdgr', 'shxdgr'))"));
        const QString table = templates ? QStringLiteral("病史模板") : QStringLiteral("个人组套");
        const auto count = [&] {
            return rows(qPrintable(QStringLiteral(R"(SELECT count(*) FROM "%1")").arg(table))).value(0).toInt();
        };
        const auto stored = [&](qint64 row) {
            return rows(qPrintable(QStringLiteral(R"(SELECT "名称", "内容" FROM "%1" WHERE rowid = %2)").arg(table).arg(row)))
                .value(0, QStringLiteral("<gone>"));
        };
        const std::unique_ptr<TextBlockCatalogueWindow> window = openedWindow(templates);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QSignalSpy written(&m_fx->context.catalogueChanges, &CatalogueChanges::rowWritten);
        const int before = count();

        // Picked, changed, saved, corrected and saved again: one row, changed twice.
        window->list()->setCurrentRow(1);
        const qint64 picked = *window->list()->selectedRowId();
        window->contentBox()->setPlainText("咳嗽三天");
        click(window->saveButton());
        window->nameBox()->setText("上呼吸道感染（成人）");
        click(window->saveButton());
        QCOMPARE(count(), before);
        QCOMPARE(stored(picked), QStringLiteral("上呼吸道感染（成人）|咳嗽三天"));
        QCOMPARE(written.size(), 2);
        QCOMPARE(written.at(1).at(1).toLongLong(), picked);
        QVERIFY(!window->list()->selectedRowId());
        QCOMPARE(listed(window->list()).count(QStringLiteral("上呼吸道感染（成人）")), 1);

        // 删除 deletes it; then nothing is bound.
        click(window->deleteButton());
        QCOMPARE(stored(picked), QStringLiteral("<gone>"));
        QCOMPARE(count(), before - 1);
        QVERIFY(!window->list()->selectedRowId());
        click(window->deleteButton());
        QCOMPARE(count(), before - 1);

        // With nothing bound 保存 adds; 删除 right after deletes the added row.
        window->nameBox()->setText("头痛");
        window->contentBox()->setPlainText("头痛一天");
        click(window->saveButton());
        QCOMPARE(count(), before);
        const qint64 added = written.last().at(1).toLongLong();
        QCOMPARE(stored(added), QStringLiteral("头痛|头痛一天"));
        click(window->deleteButton());
        QCOMPARE(stored(added), QStringLiteral("<gone>"));
        QCOMPARE(count(), before - 1);
        QVERIFY(window->nameBox()->text().isEmpty());
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    // A picked row deleted outside the program binds nothing and leaves the list: 删除 removes
    // nothing, 保存 adds what the boxes show.
    void aPickOfAGoneRowUnbinds_data() { bothWindows(); }
    void aPickOfAGoneRowUnbinds()
    {
        QFETCH(bool, templates);
        QVERIFY(db().exec(R"(DELETE FROM "个人组套" WHERE "分类" = '中医验方';
            INSERT INTO "病史模板" ("名称", "内容", "序号", "拼音") VALUES
            ('感冒组套', '甲', '感冒组套gmzt', 'gmzt'), ('咳嗽组套', '丙', '咳嗽组套kszt', 'kszt'))"));
        const QString table = templates ? QStringLiteral("病史模板") : QStringLiteral("个人组套");
        const auto names = [&] {
            return rows(qPrintable(QStringLiteral(R"(SELECT "名称" FROM "%1" ORDER BY rowid)").arg(table)));
        };
        const std::unique_ptr<TextBlockCatalogueWindow> window = openedWindow(templates);
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->list()->setCurrentRow(1);
        QCOMPARE(window->nameBox()->text(), QStringLiteral("咳嗽组套"));

        QVERIFY(db().exec(qPrintable(QStringLiteral(R"(DELETE FROM "%1" WHERE "名称" = '感冒组套')").arg(table))));
        window->list()->setCurrentRow(0);
        QCOMPARE(listed(window->list()), QStringList{"咳嗽组套"});
        QVERIFY(!window->list()->selectedRowId());
        QCOMPARE(window->nameBox()->text(), QStringLiteral("咳嗽组套"));

        click(window->deleteButton());
        QCOMPARE(names(), QStringList{"咳嗽组套"});
        window->nameBox()->setText("咳嗽组套二");
        click(window->saveButton());
        QCOMPARE(names(), (QStringList{"咳嗽组套", "咳嗽组套二"}));
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    // Tab and Shift+Tab go round the set window in its order; of the two kinds only the checked
    // one is a stop, as in any group of options.
    void setWindowTabOrder_data()
    {
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("option");
        QTest::newRow("sets checked") << 0 << "setsOption";
        QTest::newRow("recipes checked") << 1 << "recipesOption";
    }
    void setWindowTabOrder()
    {
        QFETCH(int, checked);
        QFETCH(QString, option);
        SetCatalogueWindow window(m_fx->context);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.kindButton(checked)->setChecked(true);
        const QStringList order{"addButton", "deleteButton", "saveButton", "nameBox", "nameList",
                                "closeButton", "codeBox", option, "contentBox"};
        const auto walk = [&](bool back) {
            window.addButton()->setFocus();
            QStringList visited;
            for (int i = 0; i < order.size(); ++i) {
                QWidget* focused = QApplication::focusWidget();
                visited << (focused ? focused->objectName() : QStringLiteral("(none)"));
                QTest::keyClick(focused, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            }
            visited << QApplication::focusWidget()->objectName();
            return visited;
        };
        QCOMPARE(walk(false), order + QStringList{"addButton"});
        QStringList reversed{"addButton"};
        for (auto it = order.rbegin(); it != order.rend(); ++it)
            reversed << *it;
        QCOMPARE(walk(true), reversed);
    }

    void aSwitchToAnEmptyKindUnbindsTheBoxes()
    {
        QVERIFY(db().exec(R"(DELETE FROM "个人组套" WHERE "分类" = '中医验方')"));
        SetCatalogueWindow window(m_fx->context);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.list()->setCurrentRow(1);
        QCOMPARE(window.nameBox()->text(), QStringLiteral("咳嗽组套"));
        window.kindButton(1)->click();
        QCOMPARE(window.list()->count(), 0);
        QCOMPARE(window.nameBox()->text(), QStringLiteral("咳嗽组套"));

        // The boxes stand for no row: 删除 removes nothing, 保存 adds a recipe and leaves the set.
        click(window.deleteButton());
        QCOMPARE(sets().size(), 2);
        click(window.saveButton());
        QCOMPARE(sets(), (QStringList{"感冒组套|个人组套|gmzt|甲\r\n乙", "咳嗽组套|个人组套|kszt|丙",
                                      "咳嗽组套|中医验方|kszt|丙"}));
        QCOMPARE(listed(window.list()), QStringList{"咳嗽组套"});
        window.kindButton(0)->click();
        QCOMPARE(listed(window.list()), (QStringList{"感冒组套", "咳嗽组套"}));
        QVERIFY(m_fx->messages.messages.isEmpty());
    }

    void refusedAndMissingSavesKeepEverything()
    {
        SetCatalogueWindow window(m_fx->context);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        click(window.addButton());
        window.contentBox()->setPlainText("x");
        click(window.saveButton());
        QCOMPARE(m_fx->messages.messages.size(), 1);
        QCOMPARE(m_fx->messages.messages[0].text, QStringLiteral("请输入名称及内容！"));
        QCOMPARE(m_fx->messages.messages[0].title, QStringLiteral("Qelvaro"));

        // A name of blanks has no code, which a set must have.
        window.nameBox()->setText("  ");
        window.contentBox()->setPlainText("ab\n");
        click(window.saveButton());
        QCOMPARE(m_fx->messages.messages.size(), 2);
        QCOMPARE(m_fx->messages.messages[1].text, QStringLiteral("“拼音”不能为空，未保存。"));
        QCOMPARE(m_fx->messages.messages[1].title, QStringLiteral("提示"));
        QCOMPARE(window.nameBox()->text(), QStringLiteral("  "));
        QCOMPARE(window.contentBox()->toPlainText(), QStringLiteral("ab\n"));
        QVERIFY(window.target().adding);
        QVERIFY(window.saveButton()->isEnabled());
        QCOMPARE(window.list()->count(), 2);
        QCOMPARE(sets().size(), 3);
    }

    void templateWindowOnAnEmptyTableAdds()
    {
        TemplateCatalogueWindow window(m_fx->context);
        QSignalSpy savedSpy(&window, &TemplateCatalogueWindow::saved);
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.list()->count(), 0);
        QCOMPARE(QApplication::focusWidget(), window.closeButton());
        typeText(window.nameBox(), "感冒");
        window.contentBox()->setPlainText("咳嗽三天\n");
        click(window.saveButton());
        QCOMPARE(rows(R"(SELECT "名称", "内容", "序号", "拼音" FROM "病史模板")"),
                 QStringList{"感冒|咳嗽三天\r\n|感冒gm|gm"});
        QCOMPARE(savedSpy.size(), 1);
        QCOMPARE(listed(window.list()), QStringList{"感冒"});

        // A null column shows as empty text, not as the row picked before; the search key is then
        // built from what the boxes show.
        QVERIFY(db().exec(R"(INSERT INTO "病史模板" ("名称", "序号") VALUES ('空白', '空白kb'))"));
        window.close();
        window.open();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.nameBox()->text(), QStringLiteral("感冒"));
        QVERIFY(!window.target().adding);
        window.list()->setCurrentRow(1);
        QVERIFY(window.codeBox()->text().isEmpty());
        QVERIFY(window.contentBox()->toPlainText().isEmpty());
        window.contentBox()->setPlainText("正文");
        click(window.saveButton());
        QCOMPARE(rows(R"(SELECT "名称", "内容", "序号", "拼音" FROM "病史模板" ORDER BY rowid)").last(),
                 QStringLiteral("空白|正文|空白|"));
        QCOMPARE(rows(R"(SELECT count(*) FROM "病史模板")"), QStringList{"2"});
    }
};

QTEST_MAIN(TextBlockCatalogueWindowTest)
#include "TextBlockCatalogueWindowTest.moc"
