#include "DrawingSurface.h"
#include "InfusionCardFixture.h"
#include "InfusionCardStore.h"
#include "SettingsCopy.h"
#include "RecordStore.h"
#include "RowList.h"

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

constexpr int kName = kNameColumn;
constexpr int kSpeed = kSpeedColumn;
constexpr int kTime = kTimeColumn;
constexpr int kSignature = kSignatureColumn;

QString column(const InfusionCardWindow& card, int c, int row) { return card.cell(c, row)->text(); }

// Drugs whose codes nothing else in the catalogue holds, with a usage and a usage entry among them.
void addDrugs(Database& settings)
{
    QVERIFY(settings.exec(R"(INSERT INTO "药品"("拼音", "名称", "分类") VALUES
        ('qxqx', '乙药注射液\用法：iv qd', '西药'),
        ('qxqx', '甲药注射液', '西药'),
        ('qxqxy', '用法：iv/gtt qd', '用法'))"));
}

void clickLeft(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5)); }

}  // namespace

class InfusionCardWindowTest : public QObject {
    Q_OBJECT
private slots:
    void newCardComesFromThePrescription();
    void savedCardIsRestoredAsSaved();
    void cardStaysWithItsRecord_data();
    void cardStaysWithItsRecord();
    void failedPrescriptionSaveStopsTheCard();
    void unreadRecordIsNeverWrittenOver();
    void printSettingsKeptOnEveryClose();
    void unreadPrintSettingsAreNeverWrittenBack();
    void deleteRow_data();
    void deleteRow();
    void deleteRowAcrossAnEmptyName();
    void eachOpeningStartsAtTheFirstRow();
    void drugDropList();
    void dropListKeysWithNothingToTake();
    void dropListListsEveryMatch_data();
    void dropListListsEveryMatch();
    void longCellsShowTheirStart();
    void clickFillsRateAndTime();
    void typedSeparatorIsKeptAsFullWidth();
    void enterWalksTheNameColumn();
    void scrolling();
};

void InfusionCardWindowTest::newCardComesFromThePrescription()
{
    InfusionCardFixture f;
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();

    QCOMPARE(card.windowTitle(), u"输液执行卡"_qs);
    const QStringList header{u"张三"_qs, u"男"_qs, u"35岁"_qs, u"2024-03-05"_qs, u"上呼吸道感染"_qs, u"林志远"_qs, {}};
    for (int i = 0; i < kInfusionHeaderCount; ++i)
        QCOMPARE(card.headerBox(InfusionHeader(i))->text(), header[i]);
    for (int r = 0; r < kInfusionRowCount; ++r) {
        QCOMPARE(column(card, kName, r), kInfusionNames.value(r));
        for (int c : {kSpeed, kTime, kSignature})
            QCOMPARE(column(card, c, r), QString());
    }
    QVERIFY(!card.dropList()->isVisible());
    QCOMPARE(card.focusWidget(), card.headerBox(InfusionHeader::Nurse));
    QCOMPARE(card.findChild<QLabel*>(u"cardLabel0"_qs)->text(), f.window->clinicNameLabel()->text());
    QVERIFY(f.messages.texts().isEmpty());
}

void InfusionCardWindowTest::savedCardIsRestoredAsSaved()
{
    InfusionCardFixture f;
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();
    for (int i = 0; i < kInfusionHeaderCount; ++i)
        card.headerBox(InfusionHeader(i))->clear();
    card.cell(kSpeed, 0)->setText(u"40滴/分"_qs);
    card.cell(kSignature, 13)->setText(u"郑小燕"_qs);
    QTest::mouseClick(card.findChild<QPushButton*>(u"saveCardButton"_qs), Qt::LeftButton);
    QVERIFY2(f.messages.texts().isEmpty(), qPrintable(f.messages.texts().join(u'\n')));

    // Stored: the prescription first, then the card, all header values empty.
    const InfusionCardRead stored = readInfusionCard(f.store.records(), f.key());
    QCOMPARE(stored.status, InfusionCardRead::Status::Saved);
    QCOMPARE(stored.card, card.card());
    QVERIFY(RecordStore(f.store.records()).openByKey(f.key()));

    // Unsaved edits go with the close; corrections in the main window no longer reach the card.
    card.cell(kTime, 0)->setText(u"10:00"_qs);
    card.close();
    f.window->headingBox(HeadingField::Name)->setText(u"李四"_qs);
    f.openCard();
    QCOMPARE(card.card(), stored.card);
    QCOMPARE(card.headerBox(InfusionHeader::Name)->text(), QString());
    QCOMPARE(column(card, kName, 1), kInfusionNames[1]);
    QVERIFY(!card.dropList()->isVisible());
}

void InfusionCardWindowTest::cardStaysWithItsRecord_data()
{
    QTest::addColumn<bool>("savedBefore");
    QTest::newRow("its record exists: the card goes there") << true;
    QTest::newRow("never saved: refused") << false;
}

void InfusionCardWindowTest::cardStaysWithItsRecord()
{
    QFETCH(bool, savedBefore);
    InfusionCardFixture f;
    f.build();
    f.fillPrescription();
    if (savedBefore)
        QVERIFY(f.window->save());
    const QString first = f.key();
    InfusionCardWindow& card = f.openCard();
    card.cell(kSignature, 0)->setText(u"郑小燕"_qs);

    // The main window moves on to another prescription while the card stays open.
    f.window->menuAction(u"actionNew"_qs)->trigger();
    f.fillPrescription(u"王五"_qs, QString());
    QVERIFY(f.key() != first);
    f.messages.clear();

    QCOMPARE(card.saveCard(), savedBefore);
    QCOMPARE(card.boundKey(), first);
    // The other prescription is neither saved nor given the card.
    QVERIFY(!RecordStore(f.store.records()).openByKey(f.key()));
    const InfusionCardRead read = readInfusionCard(f.store.records(), first);
    if (savedBefore) {
        QVERIFY(f.messages.texts().isEmpty());
        QCOMPARE(read.status, InfusionCardRead::Status::Saved);
        QCOMPARE(read.card.header[0], u"张三"_qs);
        QCOMPARE(read.card.cells[kSignature][0], u"郑小燕"_qs);
    } else {
        QCOMPARE(f.messages.texts(), QStringList{kCardRecordMissingMessage});
        QCOMPARE(read.status, InfusionCardRead::Status::NoCard);
    }
}

void InfusionCardWindowTest::failedPrescriptionSaveStopsTheCard()
{
    InfusionCardFixture f;
    f.build();
    f.fillPrescription(QString());  // no name: the prescription cannot be saved
    InfusionCardWindow& card = f.openCard();
    QVERIFY(!card.saveCard());
    QCOMPARE(f.messages.texts(), (QStringList{kMissingNameMessage, kCardPrescriptionNotSavedMessage}));
    QCOMPARE(readInfusionCard(f.store.records(), f.key()).status, InfusionCardRead::Status::NoCard);
}

void InfusionCardWindowTest::unreadRecordIsNeverWrittenOver()
{
    InfusionCardFixture f;
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();
    card.cell(kSpeed, 0)->setText(u"40滴/分"_qs);
    QVERIFY(card.saveCard());
    card.close();
    const InfusionCard saved = card.card();

    // The record cannot be read while the card opens: empty boxes, and the doctor is told.
    Database& records = *f.store.records();
    QVERIFY(records.exec(R"(ALTER TABLE "档案" RENAME TO "档案_off")"));
    f.openCard();
    QVERIFY(records.exec(R"(ALTER TABLE "档案_off" RENAME TO "档案")"));
    QCOMPARE(card.card(), InfusionCard{});
    QCOMPARE(f.messages.texts(), QStringList{kCardUnreadMessage});

    // Its 保存 would blank the stored card: refused, the stored card stays.
    f.messages.clear();
    QVERIFY(!card.saveCard());
    QCOMPARE(f.messages.texts(), QStringList{kCardUnreadMessage});
    QCOMPARE(readInfusionCard(f.store.records(), f.key()).card, saved);
}

void InfusionCardWindowTest::printSettingsKeptOnEveryClose()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    // The template's values.
    QCOMPARE(card.leftMarginBox()->text(), u"10"_qs);
    QCOMPARE(card.topMarginBox()->text(), u"10"_qs);
    QVERIFY(card.portraitOption()->isChecked());

    card.leftMarginBox()->setText(u"3"_qs);
    card.topMarginBox()->setText(u"-5"_qs);
    card.landscapeOption()->setChecked(true);
    card.close();
    QCOMPARE(readOwnPrintSettings(f.store.settings(), 3), (OwnPrintSettings{u"3"_qs, u"-5"_qs, u"0"_qs}));

    f.openCard();
    QCOMPARE(card.leftMarginBox()->text(), u"3"_qs);
    QCOMPARE(card.topMarginBox()->text(), u"-5"_qs);
    QVERIFY(card.landscapeOption()->isChecked());
    QCOMPARE(card.leftMarginBox()->maxLength(), 50);

    // Any orientation text but "0" opens in portrait.
    card.close();
    QVERIFY(f.store.settings()->exec(R"(UPDATE "设置" SET "竖打3" = NULL)"));
    f.openCard();
    QVERIFY(card.portraitOption()->isChecked());
}

void InfusionCardWindowTest::unreadPrintSettingsAreNeverWrittenBack()
{
    InfusionCardFixture f;
    f.build();
    Database& settings = *f.store.settings();
    QVERIFY(settings.exec(R"(ALTER TABLE "设置" RENAME TO "设置_off")"));
    InfusionCardWindow& card = f.openCard();
    QVERIFY(settings.exec(R"(ALTER TABLE "设置_off" RENAME TO "设置")"));
    QCOMPARE(card.leftMarginBox()->text(), QString());
    QVERIFY(card.landscapeOption()->isChecked());
    card.close();
    QCOMPARE(readOwnPrintSettings(f.store.settings(), 3), (OwnPrintSettings{u"10"_qs, u"10"_qs, u"1"_qs}));
    QVERIFY(f.messages.texts().isEmpty());
}

void InfusionCardWindowTest::deleteRow_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("first row") << 0;
    QTest::newRow("a middle row") << 2;
    QTest::newRow("last row") << 13;
}

// Every row full: names, rates and times below the row move up, the last row empties, and
// signatures stay on their rows except on the last, whose name became empty.
void InfusionCardWindowTest::deleteRow()
{
    QFETCH(int, row);
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    const QStringList prefixes{u"名"_qs, u"速"_qs, u"时"_qs, u"签"_qs};
    for (int c = 0; c < kInfusionColumnCount; ++c)
        for (int r = 0; r < kInfusionRowCount; ++r)
            card.cell(c, r)->setText(prefixes[c] + QString::number(r));
    clickLeft(card.cell(kName, row));
    QCOMPARE(card.currentRow(), row);

    QTest::mouseClick(card.findChild<QPushButton*>(u"deleteRowButton"_qs), Qt::LeftButton);
    for (int r = 0; r < kInfusionRowCount; ++r) {
        for (int c : {kName, kSpeed, kTime}) {
            const QString expected = r == 13 ? QString() : prefixes[c] + QString::number(r < row ? r : r + 1);
            QCOMPARE(column(card, c, r), expected);
        }
        QCOMPARE(column(card, kSignature, r), r == 13 ? QString() : prefixes[kSignature] + QString::number(r));
    }
    QCOMPARE(card.currentRow(), row);
}

// A row whose name becomes empty loses its signature, then takes the rate and time from below.
void InfusionCardWindowTest::deleteRowAcrossAnEmptyName()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    const QStringList names{u"甲"_qs, u"乙"_qs, {}, u"丁"_qs};
    for (int r = 0; r < names.size(); ++r) {
        card.cell(kName, r)->setText(names[r]);
        card.cell(kSpeed, r)->setText(QString::number(r));
        card.cell(kSignature, r)->setText(u"签"_qs + QString::number(r));
    }
    clickLeft(card.cell(kName, 1));
    card.deleteRow();
    QCOMPARE(column(card, kName, 1), QString());
    QCOMPARE(column(card, kSpeed, 1), u"2"_qs);
    QCOMPARE(column(card, kSignature, 1), QString());
    QCOMPARE(column(card, kName, 2), u"丁"_qs);
    QCOMPARE(column(card, kSignature, 2), u"签2"_qs);
    QCOMPARE(column(card, kSignature, 3), QString());
}

void InfusionCardWindowTest::eachOpeningStartsAtTheFirstRow()
{
    InfusionCardFixture f;
    f.build();
    f.fillPrescription();
    InfusionCardWindow& card = f.openCard();
    clickLeft(card.cell(kName, 2));
    QCOMPARE(card.currentRow(), 2);
    card.close();

    f.openCard();
    QCOMPARE(card.currentRow(), 0);
    card.deleteRow();
    QCOMPARE(column(card, kName, 0), kInfusionNames[1]);
    QCOMPARE(column(card, kName, 2), QString());
}

void InfusionCardWindowTest::drugDropList()
{
    InfusionCardFixture f;
    addDrugs(*f.store.settings());
    f.build();
    InfusionCardWindow& card = f.openCard();
    RowList* list = card.dropList();
    QLineEdit* cell = card.cell(kName, 1);
    cell->setFocus();

    QTest::keyClicks(cell, u"QXq"_qs);
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->text(0), u"甲药注射液"_qs);
    QCOMPARE(list->y(), cell->y() + 24);

    // Down, then Enter: the first drug.
    QTest::keyClick(cell, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(cell->text(), u"甲药注射液"_qs);
    QCOMPARE(QApplication::focusWidget(), cell);
    QVERIFY(!list->isVisible());

    // A drug with its usage gives the name only; a usage entry becomes a usage line.
    const QList<QPair<QString, QString>> picks{{u"乙药注射液\\用法：iv qd"_qs, u"乙药注射液"_qs},
                                                {u"用法：iv/gtt qd"_qs, u"    用法：iv/gtt qd"_qs}};
    for (const auto& [item, text] : picks) {
        cell->clear();
        QTest::keyClicks(cell, u"qxqx"_qs);
        int found = 0;
        while (found < list->count() && list->text(found) != item)
            ++found;
        QVERIFY(found < list->count());
        const QRect at = list->itemRect(found);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());  // a double click's first press
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
        QCOMPARE(cell->text(), text);
    }

    // An emptied name empties its row and hides the list; a quote finds nothing.
    card.cell(kSpeed, 1)->setText(u"60滴/分"_qs);
    card.cell(kSignature, 1)->setText(u"郑"_qs);
    cell->setText(u"qxqx"_qs);
    QVERIFY(list->isVisible());
    cell->clear();
    QVERIFY(!list->isVisible());
    QCOMPARE(column(card, kSpeed, 1), QString());
    QCOMPARE(column(card, kSignature, 1), QString());
    QTest::keyClicks(cell, u"q'x"_qs);
    QVERIFY(!list->isVisible());
    QCOMPARE(list->count(), 0);
    // Blanks only: the row is emptied too.
    card.cell(kTime, 1)->setText(u"08:00"_qs);
    cell->setText(u"  "_qs);
    QCOMPARE(column(card, kTime, 1), QString());
}

void InfusionCardWindowTest::dropListKeysWithNothingToTake()
{
    InfusionCardFixture f;
    addDrugs(*f.store.settings());
    f.build();
    InfusionCardWindow& card = f.openCard();
    QLineEdit* cell = card.cell(kName, 0);
    cell->setFocus();
    cell->insert(u"甲"_qs);
    QVERIFY(!card.dropList()->isVisible());
    QTest::keyClick(cell, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), cell);

    cell->clear();
    QTest::keyClicks(cell, u"qxqx"_qs);
    QVERIFY(card.dropList()->isVisible());
    card.dropList()->setFocus();  // as by the Tab key: nothing selected
    QCOMPARE(card.dropList()->selectedRow(), -1);
    QTest::keyClick(card.dropList(), Qt::Key_Return);
    QCOMPARE(cell->text(), u"qxqx"_qs);
}

void InfusionCardWindowTest::dropListListsEveryMatch_data()
{
    QTest::addColumn<bool>("indexRead");
    QTest::newRow("from the drug index") << true;
    QTest::newRow("while the index is read") << false;
}

// Far more matches than the main window's picker lists, each shown, by name.
void InfusionCardWindowTest::dropListListsEveryMatch()
{
    QFETCH(bool, indexRead);
    constexpr int kMatches = 450;
    InfusionCardFixture f;
    {
        Transaction adding(*f.store.settings());
        Statement insert = f.store.settings()->prepare(R"(INSERT INTO "药品"("拼音", "名称", "分类") VALUES (?, ?, '西药'))");
        // Added in reverse, so the order shown is the names' own.
        for (int i = kMatches - 1; i >= 0; --i)
            QVERIFY(insert.bindAll(u"zqzq%1"_qs.arg(i), u"测试药%1"_qs.arg(i, 3, 10, QChar(u'0'))).run());
        QVERIFY(adding.commit());
    }
    if (indexRead)
        f.context.searchIndexes.loadNow(f.store.records(), f.store.settings());
    f.build();
    InfusionCardWindow& card = f.openCard();
    QLineEdit* cell = card.cell(kName, 2);
    cell->setFocus();
    QTest::keyClicks(cell, u"zqz"_qs);
    RowList* list = card.dropList();
    QVERIFY(list->isVisible());
    QCOMPARE(list->count(), kMatches);
    for (int i = 0; i < kMatches; ++i)
        QCOMPARE(list->text(i), u"测试药%1"_qs.arg(i, 3, 10, QChar(u'0')));
    // The last one can be taken.
    list->setFocus();
    list->setCurrentRow(kMatches - 1);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(cell->text(), u"测试药449"_qs);
}

// A text wider than its cell shows from its start after the card is loaded and after a pick.
void InfusionCardWindowTest::longCellsShowTheirStart()
{
    const QString longName = u"注射用头孢哌酮钠舒巴坦钠（舒普深）  1.5g*10支"_qs;
    InfusionCardFixture f;
    {
        Statement insert = f.store.settings()->prepare(R"(INSERT INTO "药品"("拼音", "名称", "分类") VALUES ('qxcd', ?, '西药'))");
        QVERIFY(insert.bindAll(longName + u"\\用法：iv/gtt bid"_qs).run());
    }
    f.build();
    f.fillPrescription(u"张三"_qs, longName + u"\r\n    用法：3g iv/gtt bid"_qs);
    InfusionCardWindow& card = f.openCard();
    QLineEdit* loaded = card.cell(kName, 0);
    QCOMPARE(loaded->text(), longName);
    QVERIFY(loaded->fontMetrics().horizontalAdvance(longName) > loaded->contentsRect().width());
    QCOMPARE(loaded->cursorPosition(), 0);

    // Saved and opened again.
    QVERIFY(card.saveCard());
    card.close();
    f.openCard();
    QCOMPARE(loaded->text(), longName);
    QCOMPARE(loaded->cursorPosition(), 0);

    QLineEdit* picked = card.cell(kName, 4);
    picked->setFocus();
    QTest::keyClicks(picked, u"qxcd"_qs);
    QTest::keyClick(picked, Qt::Key_Down);
    QTest::keyClick(card.dropList(), Qt::Key_Return);
    QCOMPARE(picked->text(), longName);
    QCOMPARE(QApplication::focusWidget(), picked);
    QCOMPARE(picked->cursorPosition(), 0);
}

void InfusionCardWindowTest::clickFillsRateAndTime()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    f.clock.set(QDateTime(QDate(2024, 3, 5), QTime(8, 5)));

    clickLeft(card.cell(kSpeed, 3));
    QCOMPARE(column(card, kSpeed, 3), u"60滴/分"_qs);
    QCOMPARE(card.cell(kSpeed, 3)->cursorPosition(), 5);
    card.cell(kSpeed, 3)->setText(u"40"_qs);
    clickLeft(card.cell(kSpeed, 3));
    QCOMPARE(column(card, kSpeed, 3), u"40"_qs);
    card.cell(kSpeed, 4)->setText(u" "_qs);
    clickLeft(card.cell(kSpeed, 4));
    QCOMPARE(column(card, kSpeed, 4), u" "_qs);

    clickLeft(card.cell(kTime, 3));
    QCOMPARE(column(card, kTime, 3), u"08:05"_qs);
    f.clock.set(QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    clickLeft(card.cell(kTime, 3));
    QCOMPARE(column(card, kTime, 3), u"08:05"_qs);
    clickLeft(card.cell(kTime, 5));
    QCOMPARE(column(card, kTime, 5), u"14:30"_qs);

    // Moving in with the keyboard fills nothing.
    card.cell(kTime, 6)->setFocus(Qt::TabFocusReason);
    QCOMPARE(column(card, kTime, 6), QString());
}

void InfusionCardWindowTest::typedSeparatorIsKeptAsFullWidth()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    QLineEdit* cell = card.cell(kSignature, 0);
    cell->setFocus();
    QTest::keyClicks(cell, u"a@b"_qs);
    QCOMPARE(cell->text(), u"a＠b"_qs);
    QCOMPARE(cell->cursorPosition(), 3);
}

void InfusionCardWindowTest::enterWalksTheNameColumn()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    card.cell(kName, 0)->setFocus();
    QTest::keyClick(card.cell(kName, 0), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), card.cell(kName, 1));
    card.cell(kName, 12)->setFocus();
    QTest::keyClick(card.cell(kName, 12), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), card.cell(kSpeed, 0));
}

void InfusionCardWindowTest::scrolling()
{
    InfusionCardFixture f;
    f.build();
    InfusionCardWindow& card = f.openCard();
    QWidget* surface = card.cardSurface();
    QCOMPARE(surface->y(), -8);  // 120 twips above the top of the viewport
    card.scrollBar()->setValue(5);
    QCOMPARE(surface->y(), -176);  // its bottom edge at the viewport's bottom
    const int x = surface->x();
    card.scrollBar()->setValue(0);
    QCOMPARE(surface->y(), 0);
    QCOMPARE(surface->x(), x);

    card.scrollBar()->setValue(3);
    card.close();
    f.openCard();
    QCOMPARE(card.scrollBar()->value(), 0);
    QCOMPARE(surface->y(), -8);
}

QTEST_MAIN(InfusionCardWindowTest)
#include "InfusionCardWindowTest.moc"
