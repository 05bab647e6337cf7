#include "Application.h"
#include "CatalogueWidgets.h"
#include "ClickLabel.h"
#include "DrugCatalogueWindow.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "NameCatalogueWindow.h"
#include "SetCatalogueWindow.h"
#include "TemplateCatalogueWindow.h"
#include "RunningProgram.h"
#include "WidgetTestSupport.h"
#include "Clock.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// The whole program over a fresh folder, logged in.
struct Program : RunningProgram {
    Program() { logIn(); }
};

QStringList listed(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

}  // namespace

class CatalogueEntriesTest : public QObject {
    Q_OBJECT
private slots:
    void menusOpenTheWindowsAndClosingTheProgramClosesThem()
    {
        Program p;
        QVERIFY(p.app->mainWindow());
        for (const char* name : {"actionDrugs", "actionDiagnoses", "actionAddresses", "actionSets", "actionHistoryTemplates"}) {
            QVERIFY2(p.action(name)->isEnabled(), name);
            p.action(name)->trigger();
        }
        QList<QWidget*> windows{p.app->drugWindow(), p.app->diagnosisWindow(), p.app->addressWindow(),
                                p.app->setWindow(), p.app->templateWindow()};
        for (QWidget* window : windows)
            QVERIFY(window && window->isVisible());
        QCOMPARE(p.app->diagnosisWindow()->windowTitle(), QStringLiteral("诊断名称维护"));
        QCOMPARE(p.app->addressWindow()->windowTitle(), QStringLiteral("地址名称维护"));

        // Opening an open window keeps what it shows.
        p.app->diagnosisWindow()->searchBox()->setText(QStringLiteral("感"));
        p.action("actionDiagnoses")->trigger();
        QCOMPARE(p.app->diagnosisWindow()->searchBox()->text(), QStringLiteral("感"));

        // A minimised window comes back when its command is given again.
        const char* names[] = {"actionDrugs", "actionDiagnoses", "actionAddresses", "actionSets", "actionHistoryTemplates"};
        for (int i = 0; i < windows.size(); ++i) {
            windows[i]->showMinimized();
            p.action(names[i])->trigger();
            QVERIFY2(!windows[i]->isMinimized(), names[i]);
        }

        p.main().close();
        for (QWidget* window : windows)
            QVERIFY(!window->isVisible());
    }

    void bodySelectionBecomesASetOfThePrescriptionKind()
    {
        Program p;
        MainWindow& main = p.main();
        main.setKind(QStringLiteral("中医"));
        main.body()->setPlainText(QStringLiteral("麻黄 6g  桂枝 9g\n杏仁 9g\n"));
        QAction* addToSets = p.action("actionAddToSets");
        emit main.bodyMenu()->aboutToShow();
        QVERIFY(!addToSets->isEnabled());  // nothing selected
        main.body()->selectAll();
        emit main.bodyMenu()->aboutToShow();
        QVERIFY(addToSets->isEnabled());
        addToSets->trigger();

        SetCatalogueWindow* window = p.app->setWindow();
        QVERIFY(window && window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window));
        QVERIFY(window->kindButton(1)->isChecked());
        QCOMPARE(window->kind(), QStringLiteral("中医验方"));
        QVERIFY(window->nameBox()->text().isEmpty());
        QVERIFY(window->codeBox()->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), window->nameBox());
        QCOMPARE(window->contentBox()->toPlainText(), QStringLiteral("麻黄 6g  桂枝 9g\n杏仁 9g\n"));
        QVERIFY(window->target().adding);

        typeText(window->nameBox(), QStringLiteral("麻黄汤"));
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));
        QCOMPARE(window->contentBox()->toPlainText(), QStringLiteral("麻黄 6g  桂枝 9g\n杏仁 9g"));
        Statement st = p.app->store().settings()->prepare(
            R"(SELECT "分类", "拼音", "内容" FROM "个人组套" WHERE "名称" = '麻黄汤')");
        QVERIFY(st.next());
        QCOMPARE(st.text(0), QStringLiteral("中医验方"));
        QCOMPARE(st.text(1), QStringLiteral("mht"));
        QCOMPARE(st.text(2), QStringLiteral("麻黄 6g  桂枝 9g\r\n杏仁 9g"));

        // On another kind of prescription the selection becomes a personal set.
        main.setKind(QStringLiteral("普通"));
        main.body()->selectAll();
        addToSets->trigger();
        QVERIFY(window->kindButton(0)->isChecked());
        QCOMPARE(window->kind(), QStringLiteral("个人组套"));
        QVERIFY(window->saveButton()->isEnabled());
    }

    void historyTextBecomesATemplateThatTheMainWindowLists()
    {
        Program p;
        MainWindow& main = p.main();
        QVERIFY(main.addTemplateLink()->isEnabled());
        main.historyBox()->setPlainText(QStringLiteral("发热两天\n咳嗽"));
        main.templateSearchBox()->setText(QStringLiteral("zzz"));
        QCOMPARE(main.templateList()->count(), 0);
        QTest::mouseClick(main.addTemplateLink(), Qt::LeftButton);

        TemplateCatalogueWindow* window = p.app->templateWindow();
        QVERIFY(window && window->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(QApplication::focusWidget(), window->nameBox());
        QVERIFY(window->nameBox()->text().isEmpty());
        QCOMPARE(window->contentBox()->toPlainText(), QStringLiteral("发热两天\n咳嗽"));
        typeText(window->nameBox(), QStringLiteral("发热咳嗽"));
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));

        QVERIFY(main.templateSearchBox()->text().isEmpty());
        QVERIFY(listed(main.templateList()).contains(QStringLiteral("发热咳嗽")));
        // The main window finds it by its code.
        main.templateSearchBox()->setText(QStringLiteral("frks"));
        QCOMPARE(listed(main.templateList()), QStringList{"发热咳嗽"});

        // A template deleted in the window leaves the main window's list at once.
        window->list()->setCurrentRow(window->list()->count() - 1);
        QCOMPARE(window->nameBox()->text(), QStringLiteral("发热咳嗽"));
        QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
        QCOMPARE(main.templateList()->count(), 0);

        // Right after a save 删除 deletes the saved template, gone from the main window at once.
        const QString child = QStringLiteral("咽炎（儿童）");
        const QString adult = QStringLiteral("咽炎（成人）");
        QTest::mouseClick(main.addTemplateLink(), Qt::LeftButton);
        typeText(window->nameBox(), child);
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        QCOMPARE(listed(main.templateList()).count(child), 1);
        QTest::mouseClick(window->deleteButton(), Qt::LeftButton);
        QCOMPARE(listed(main.templateList()).count(child), 0);

        // Saved, then corrected and saved again: the main window lists the corrected one only.
        QTest::mouseClick(main.addTemplateLink(), Qt::LeftButton);
        typeText(window->nameBox(), child);
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        window->list()->setCurrentRow(window->list()->count() - 1);
        window->contentBox()->setPlainText(QStringLiteral("咽痛三天"));
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        window->nameBox()->setText(adult);
        QTest::mouseClick(window->saveButton(), Qt::LeftButton);
        QVERIFY2(p.messages.messages.isEmpty(), qPrintable(p.messages.texts().join(u'\n')));
        QCOMPARE(listed(main.templateList()).count(child), 0);
        QCOMPARE(listed(main.templateList()).count(adult), 1);
    }
};

QTEST_MAIN(CatalogueEntriesTest)
#include "CatalogueEntriesTest.moc"
