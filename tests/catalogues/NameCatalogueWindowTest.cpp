#include "CatalogueWidgets.h"
#include "ListedTexts.h"
#include "NameCatalogueWindow.h"
#include "ProgramFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;


class NameCatalogueWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_fx;
    std::unique_ptr<NameCatalogueWindow> m_window;

    Database& db() { return *m_fx->store.settings(); }
    QStringList stored()
    {
        QStringList names;
        Statement st = db().prepare(R"(SELECT "名称" FROM "诊断" ORDER BY rowid)");
        while (st.next())
            names << st.text(0);
        return names;
    }
    NameCatalogueWindow& window() { return *m_window; }

private slots:
    void init()
    {
        m_fx = std::make_unique<ProgramFixture>();
        QVERIFY(m_fx->opened);
        QVERIFY(db().exec(R"(DELETE FROM "诊断";
            INSERT INTO "诊断" ("名称", "拼音", "序号") VALUES
              ('高血压病', 'gxyb', '高血压病gxyb'), ('感冒', 'gm', '感冒gm'), ('急性胃炎', 'jxwy', '急性胃炎jxwy'),
              ('慢性胃炎', 'mxwy', '慢性胃炎mxwy'), ('胃溃疡', 'wky', '胃溃疡wky'), ('病毒性感冒', 'bdxgm', '病毒性感冒bdxgm'))"));
        m_window = std::make_unique<NameCatalogueWindow>(m_fx->context, NameTable::Diagnoses);
        m_window->open();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_fx.reset();
    }

    void searchesOverNameCodeAndTheSpan_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty") << "" << QStringList{"高血压病", "感冒", "急性胃炎", "慢性胃炎", "胃溃疡", "病毒性感冒"};
        QTest::newRow("part of a name") << "胃炎" << QStringList{"急性胃炎", "慢性胃炎"};
        QTest::newRow("code in capitals") << "GXY" << QStringList{"高血压病"};
        QTest::newRow("span") << "病g" << QStringList{"高血压病"};
        QTest::newRow("quote") << "'" << QStringList{};
        QTest::newRow("underscore") << "_" << QStringList{};
    }
    void searchesOverNameCodeAndTheSpan()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        QCOMPARE(QApplication::focusWidget(), window().searchBox());
        typeText(window().searchBox(), typed);
        QCOMPARE(listed(window().list()), names);
    }

    void enterSavesAndTheNewNameIsSelected()
    {
        QSignalSpy written(&m_fx->context.catalogueChanges, &CatalogueChanges::rowWritten);
        window().searchBox()->setText("胃");
        typeText(window().nameBox(), " 上呼吸道感染");
        QCOMPARE(window().codeBox()->text(), QStringLiteral("shxdgr"));
        window().codeBox()->setText("sg");  // a code typed over is stored
        window().nameBox()->setFocus();
        QTest::keyClick(window().nameBox(), Qt::Key_Return);
        QCOMPARE(listed(window().list()), (QStringList{"急性胃炎", "慢性胃炎", "胃溃疡", " 上呼吸道感染"}));
        QCOMPARE(window().list()->currentRow(), 3);
        QVERIFY(window().nameBox()->text().isEmpty() && window().codeBox()->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), window().nameBox());
        QCOMPARE(written.size(), 1);
        Statement st = db().prepare(R"(SELECT "拼音", "序号" FROM "诊断" WHERE rowid = ?)");
        st.bind(1, written.at(0).at(1).toLongLong());
        QVERIFY(st.next());
        QCOMPARE(st.text(0), QStringLiteral("sg"));
        QCOMPARE(st.text(1), QStringLiteral(" 上呼吸道感染sg"));

        // The just-added name is the selected one, so 删除 removes it and nothing else.
        QTest::mouseClick(window().deleteButton(), Qt::LeftButton);
        QCOMPARE(stored().size(), 6);
        QCOMPARE(listed(window().list()), (QStringList{"急性胃炎", "慢性胃炎", "胃溃疡"}));
    }

    void emptyAndRefusedSavesKeepTheBoxes()
    {
        QTest::mouseClick(window().saveButton(), Qt::LeftButton);
        QCOMPARE(stored().size(), 6);
        QVERIFY(m_fx->messages.messages.isEmpty());

        window().nameBox()->setText("  ");
        QTest::mouseClick(window().saveButton(), Qt::LeftButton);
        QCOMPARE(m_fx->messages.texts(), QStringList{"“拼音代码”不能为空，未保存。"});
        QCOMPARE(window().nameBox()->text(), QStringLiteral("  "));
        QCOMPARE(window().list()->count(), 6);
        QCOMPARE(stored().size(), 6);
    }

    void deleteActsOnTheSelectedRowOnly()
    {
        window().searchBox()->setText("wy");
        QCOMPARE(listed(window().list()), (QStringList{"急性胃炎", "慢性胃炎"}));
        QTest::mouseClick(window().deleteButton(), Qt::LeftButton);  // nothing selected
        QCOMPARE(stored().size(), 6);
        window().searchBox()->setText("胃");
        window().list()->setCurrentRow(2);
        // The right button keeps the selection and opens the menu.
        QTest::mouseClick(window().list()->viewport(), Qt::RightButton, {},
                          window().list()->itemRect(0).center());
        QCOMPARE(window().list()->currentRow(), 2);
        QTRY_VERIFY(window().listMenu()->isVisible());
        window().listMenu()->findChild<QAction*>("listMenuDelete")->trigger();
        QCOMPARE(stored(), (QStringList{"高血压病", "感冒", "急性胃炎", "慢性胃炎", "病毒性感冒"}));
        QCOMPARE(listed(window().list()), (QStringList{"急性胃炎", "慢性胃炎"}));
        QVERIFY(!window().list()->selectedRowId());
    }
};

QTEST_MAIN(NameCatalogueWindowTest)
#include "NameCatalogueWindowTest.moc"
