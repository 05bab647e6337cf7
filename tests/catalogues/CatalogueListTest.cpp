#include "CatalogueWidgets.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using namespace qelvaro;

namespace {

const QList<ListedRow> kRows{{11, "阿莫西林"}, {7, "头孢氨苄"}, {30, "葡萄糖"}};

}  // namespace

class CatalogueListTest : public QObject {
    Q_OBJECT

private slots:
    void refillIsQuietAndCommandsFollowTheRowIds()
    {
        CatalogueList list;
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QSignalSpy selections(&list, &CatalogueList::itemSelectionChanged);
        list.setRows(kRows);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.text(1), QStringLiteral("头孢氨苄"));
        QVERIFY(!list.selectedRowId());
        QCOMPARE(list.currentRow(), -1);

        list.setCurrentRow(1);
        QCOMPARE(selections.size(), 1);
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(7));
        // The arrow keys pick as the pointer does.
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(selections.size(), 2);
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(30));

        // A refill drops the selection without a pick, whatever rows come.
        list.setRows({{5, "甲"}, {6, "乙"}});
        QCOMPARE(selections.size(), 2);
        QVERIFY(!list.selectedRowId());
        list.setCurrentRow(0);
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(5));

        // An appended row keeps the selection and becomes selectable at once.
        list.appendRow({9, "丙"});
        QCOMPARE(selections.size(), 3);
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(5));
        list.setCurrentRow(2);
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(9));
        list.setCurrentRow(-1);
        QVERIFY(!list.selectedRowId());
    }

    void leftClickPicksAgainAndTheMenuKeepsTheSelection()
    {
        CatalogueList list;
        QMenu menu;
        menu.addAction(QStringLiteral("删除"));
        list.setMenu(&menu);
        list.resize(200, 200);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.setRows(kRows);
        list.setCurrentRow(0);
        QSignalSpy clicks(&list, &CatalogueList::itemClicked);
        QSignalSpy selections(&list, &CatalogueList::itemSelectionChanged);

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.itemRect(0).center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(selections.size(), 0);

        QTest::mouseClick(list.viewport(), Qt::RightButton, {}, list.itemRect(2).center());
        QCOMPARE(list.selectedRowId(), std::optional<qint64>(11));
        QCOMPARE(clicks.size(), 1);
        QTRY_VERIFY(menu.isVisible());
        menu.hide();

        list.setRows({});
        QTest::mouseClick(list.viewport(), Qt::RightButton);
        QVERIFY(!menu.isVisible());
    }
};

QTEST_MAIN(CatalogueListTest)
#include "CatalogueListTest.moc"
