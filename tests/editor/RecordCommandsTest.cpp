#include "Fonts.h"
#include "RecordCommands.h"
#include "RecordEditorFixture.h"
#include "ToolbarButton.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ClickLabel.h"

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

using P = Prescription;

namespace {

void clickItem(QListView* list, int row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(list->viewport(), button, {}, list->visualRect(list->model()->index(row, 0)).center());
}

qint64 rowCount(Database& db, const char* sql, const QString& value)
{
    Statement st = db.prepare(sql);
    st.bind(1, value);
    return st.next() ? st.integer(0) : -1;
}

qint64 recordsWithKey(RecordEditor& e, const QString& key)
{
    return rowCount(*e.store.records(), R"(SELECT count(*) FROM "档案" WHERE "名称" = ?)", key);
}

// Prescriptions of an earlier run: begun at the key's time, visited on the date.
struct StoredRecord {
    const char* key;
    const char* name;
    const char* date;
};
const QList<StoredRecord> kListRows{
    {"2024-01-10 08:00:00", "王小明", "2024-01-10"},
    {"2024-01-20 08:00:00", "王晓", "2024-01-31"},
    {"2024-02-01 08:00:00", "李四", "2024-02-01"},
    {"2024-02-02 08:00:00", "O'Brien", "2024-02-01"},
    {"2024-02-03 08:00:00", "5%王", "2024-02-02"},
    // Begun before the others but visited later: the list goes by the key.
    {"2024-01-05 08:00:00", "王小明", "2024-02-03"},
};

void insertListRows(RecordEditor& e)
{
    for (const StoredRecord& r : kListRows)
        QVERIFY(e.insertRecord(QString::fromUtf8(r.key), QString::fromUtf8(r.name), QString::fromUtf8(r.date)) > 0);
}

QString item(const char* name, const char* date)
{
    return QString::fromUtf8(name) + u"[男,25岁,"_s + QString::fromUtf8(date) + u']';
}

void typeInto(QLineEdit* box, const QString& text)
{
    box->clear();
    typeText(box, text);
}

}  // namespace

class RecordCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void startUpListsTheLastMonthAndBeginsANewPrescription()
    {
        RecordEditor e([](RecordEditor& e) {
            QVERIFY(e.insertRecord(u"2024-02-10 10:00:00"_s, u"甲"_s, u"2024-02-04"_s) > 0);  // a day too early
            QVERIFY(e.insertRecord(u"2024-02-11 10:00:00"_s, u"乙"_s, u"2024-02-05"_s) > 0);
            QVERIFY(e.insertRecord(u"2024-03-05 08:00:00"_s, u"丙"_s, u"2024-03-05"_s) > 0);
            QVERIFY(e.insertRecord(u"2024-03-05 08:10:00"_s, u"丁"_s, u"2024-03-06"_s) > 0);  // after today
        });
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QCOMPARE(w.recordNameFilter()->text(), QString());
        QCOMPARE(w.recordFromDate()->text(), u"2024-02-05"_s);
        QCOMPARE(w.recordToDate()->text(), u"2024-03-05"_s);
        QCOMPARE(e.listed(), (QStringList{item("丙", "2024-03-05"), item("乙", "2024-02-05")}));

        const QStringList expected{"", "", "", "自费", "20240305093000", "内科", "", "", "", "2024-03-05",
                                   "林医生", "周药师", "陈药师", "", "", "无", "无"};
        for (int i = 0; i < kHeadingFieldCount; ++i)
            QCOMPARE(e.field(i)->text(), expected[i]);
        QCOMPARE(w.recordKeyLabel()->text(), u"2024-03-05 09:30:00"_s);
        QCOMPARE(w.kindLabel()->text(), u"普通"_s);
        QTRY_COMPARE(QApplication::focusWidget(), e.field(headingIndex(HeadingField::Name)));
        QVERIFY(e.messages.messages.isEmpty());
    }

    void saveRenewAndReopenRoundTrip()
    {
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        const QStringList values{"王小明", "男", "25岁", "医保", "A-1", "外科", "东岭村", "13500000000",
                                 "上呼吸道感染 咳嗽", "2024-03-04", "张医生", "李药师", "赵药师", "86.5", "15",
                                 "青霉素", "慢性胃炎"};
        for (int i = 0; i < kHeadingFieldCount; ++i)
            e.field(i)->setText(values[i]);
        w.setKind(u"中医"_s);
        const QString body = u"复方甘草片  100片\n    用法：3片 tid\n"_s;
        const QString card = u"留存的注射卡"_s;  // not what the body would give
        const QString history = u"主诉：咳嗽3天。\n现病史：O'Brien \"引号\" 50%_"_s;
        w.body()->setPlainText(body);
        w.injectionCardBox()->setPlainText(card);
        w.historyBox()->setPlainText(history);
        const QString firstKey = w.recordKeyLabel()->text();

        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(e.messages.messages.isEmpty(), qPrintable(e.messages.texts().join(u'\n')));
        QCOMPARE(recordsWithKey(e, firstKey), 1);
        // The list shows the patient's records of the last five years.
        QCOMPARE(w.recordNameFilter()->text(), u"王小明"_s);
        QCOMPARE(w.recordFromDate()->text(), u"2019-03-05"_s);
        QCOMPARE(w.recordToDate()->text(), u"2024-03-05"_s);
        QCOMPARE(e.listed(), QStringList{u"王小明[男,25岁,2024-03-04]"_s});
        QCOMPARE(rowCount(*e.store.records(), R"(SELECT count(*) FROM "患者信息" WHERE "序号" = ?)",
                          patientKey(u"王小明"_s, u"1999"_s)),
                 1);

        QTest::mouseClick(w.toolbarButton(ToolbarCommand::New), Qt::LeftButton);
        QCOMPARE(e.field(headingIndex(HeadingField::Name))->text(), QString());
        QCOMPARE(w.kindLabel()->text(), u"中医"_s);  // 新建 keeps the kind
        QVERIFY(w.recordKeyLabel()->text() != firstKey);

        clickItem(w.recordList(), 0);
        for (int i = 0; i < kHeadingFieldCount; ++i)
            QCOMPARE(e.field(i)->text(), values[i]);
        QCOMPARE(w.kindLabel()->text(), u"中医"_s);
        QCOMPARE(w.titleLabel()->text(), u"中医处方笺"_s);
        QCOMPARE(w.body()->toPlainText(), body);
        QCOMPARE(w.injectionCardBox()->toPlainText(), card);
        QCOMPARE(w.historyBox()->toPlainText(), history);
        QCOMPARE(w.recordKeyLabel()->text(), firstKey);

        QTest::keyClick(&w, Qt::Key_W, Qt::ControlModifier);
        const QString secondKey = w.recordKeyLabel()->text();
        QVERIFY(secondKey != firstKey);
        QCOMPARE(e.field(headingIndex(HeadingField::Date))->text(), u"2024-03-05"_s);
        QCOMPARE(e.field(headingIndex(HeadingField::DrugFee))->text(), QString());
        QCOMPARE(e.field(headingIndex(HeadingField::OtherFee))->text(), QString());
        QCOMPARE(w.body()->toPlainText(), QString());
        QCOMPARE(w.injectionCardBox()->toPlainText(), QString());
        QCOMPARE(e.field(headingIndex(HeadingField::CardNumber))->text(), u"A-1"_s);
        QCOMPARE(w.historyBox()->toPlainText(), history);
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());

        QVERIFY(w.save());
        QCOMPARE(e.listed(), (QStringList{u"王小明[男,25岁,2024-03-05]"_s, u"王小明[男,25岁,2024-03-04]"_s}));
        clickItem(w.recordList(), 1);
        QCOMPARE(w.recordKeyLabel()->text(), firstKey);
        QCOMPARE(e.field(headingIndex(HeadingField::Date))->text(), u"2024-03-04"_s);
        QCOMPARE(w.body()->toPlainText(), body);
        QCOMPARE(e.field(headingIndex(HeadingField::DrugFee))->text(), u"86.5"_s);
    }

    void infusionCardColumnsSurviveASave()
    {
        RecordEditor e([](RecordEditor& e) {
            QVERIFY(e.store.records()
                        ->prepare(R"(INSERT INTO "档案" ("0", "1", "2", "9", "名称", "T4", "T5", "T6", "T7", "T8")
                                     VALUES ('李春华', '男', '45岁', '2024-03-01', '2024-03-01 08:00:00',
                                             'h@', 'c@', 's@', 't@', 'n@'))")
                        .run());
        });
        QVERIFY(e.opened);
        QVERIFY(e.show());
        clickItem(e.window->recordList(), 0);
        e.field(headingIndex(HeadingField::Diagnosis))->setText(u"感冒"_s);
        QVERIFY(e.window->save());
        Statement st = e.store.records()->prepare(R"(SELECT "8", "T4", "T5", "T6", "T7", "T8" FROM "档案" WHERE "名称" LIKE '2024%')");
        QVERIFY(st.next());
        QCOMPARE((QStringList{st.text(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)}),
                 (QStringList{u"感冒"_s, u"h@"_s, u"c@"_s, u"s@"_s, u"t@"_s, u"n@"_s}));
        QVERIFY(!st.next());
    }

    void saveTellsWhatIsWrong_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("date");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("patients");
        QTest::newRow("empty name") << "" << "男" << "30岁" << "2024-03-05" << false << QStringList{kMissingNameMessage} << 0;
        QTest::newRow("no such day") << "王五" << "男" << "30岁" << "2024-02-30" << false << QStringList{kBadDateMessage} << 0;
        QTest::newRow("empty date") << "王五" << "男" << "30岁" << "" << false << QStringList{kBadDateMessage} << 0;
        QTest::newRow("no sex: stored, patient told") << "王五" << "" << "30岁" << "2024-03-05" << true
                                                      << QStringList{kPatientWithoutSexNote} << 0;
        QTest::newRow("no age: no patient row") << "王五" << "男" << "" << "2024-03-05" << true << QStringList{} << 0;
        QTest::newRow("a blank age counts as given") << "王五" << "男" << " " << "2024-03-05" << true << QStringList{} << 1;
        QTest::newRow("slashes") << "王五" << "男" << "30岁" << "2024/3/5" << true << QStringList{} << 1;
    }
    void saveTellsWhatIsWrong()
    {
        QFETCH(QString, name);
        QFETCH(QString, sex);
        QFETCH(QString, age);
        QFETCH(QString, date);
        QFETCH(bool, stored);
        QFETCH(QStringList, messages);
        QFETCH(int, patients);
        RecordEditor e([](RecordEditor& e) { e.insertRecord(u"2024-03-01 08:00:00"_s, u"甲"_s, u"2024-03-01"_s); });
        QVERIFY(e.opened);
        MainWindow& w = *e.window;
        const QStringList listedBefore = e.listed();
        e.field(headingIndex(HeadingField::Name))->setText(name);
        e.field(headingIndex(HeadingField::Sex))->setText(sex);
        e.field(headingIndex(HeadingField::Age))->setText(age);
        e.field(headingIndex(HeadingField::Date))->setText(date);

        QCOMPARE(w.save(), stored);
        QCOMPARE(e.messages.texts(), messages);
        QCOMPARE(recordsWithKey(e, w.recordKeyLabel()->text()), stored ? 1 : 0);
        QCOMPARE(rowCount(*e.store.records(), R"(SELECT count(*) FROM "患者信息" WHERE "姓名" = ?)", name), patients);
        if (stored)
            QCOMPARE(e.listed().size(), 1);
        else
            QCOMPARE(e.listed(), listedBefore);  // nothing changed, so nothing is listed anew
    }

    void keysStayUnique()
    {
        // A key stored already, one second after the window's first.
        RecordEditor e([](RecordEditor& e) { e.insertRecord(u"2024-03-05 09:30:01"_s, u"甲"_s, u"2024-03-05"_s); });
        QVERIFY(e.opened);
        MainWindow& w = *e.window;
        QCOMPARE(w.recordKeyLabel()->text(), u"2024-03-05 09:30:00"_s);
        w.menuAction(u"actionNew"_s)->trigger();  // in the same second
        QCOMPARE(w.recordKeyLabel()->text(), u"2024-03-05 09:30:02"_s);
        w.menuAction(u"actionRenew"_s)->trigger();
        QCOMPARE(w.recordKeyLabel()->text(), u"2024-03-05 09:30:03"_s);
        QCOMPARE(e.field(headingIndex(HeadingField::CardNumber))->text(), u"20240305093000"_s);
    }

    void queryListsByNameAndDates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("message");
        QTest::newRow("both bounds included")
            << "王" << "2024-01-10" << "2024-01-31" << QStringList{item("王晓", "2024-01-31"), item("王小明", "2024-01-10")} << "";
        QTest::newRow("newest key first, not newest visit")
            << "王" << "2024-01-01" << "2024-02-29"
            << QStringList{item("5%王", "2024-02-02"), item("王晓", "2024-01-31"), item("王小明", "2024-01-10"),
                           item("王小明", "2024-02-03")}
            << "";
        QTest::newRow("empty name lists all") << "" << "2024-02-01" << "2024-02-01"
                                              << QStringList{item("O'Brien", "2024-02-01"), item("李四", "2024-02-01")} << "";
        QTest::newRow("apostrophe") << "O'B" << "2024-01-01" << "2024-03-05" << QStringList{item("O'Brien", "2024-02-01")} << "";
        QTest::newRow("percent is literal") << "%" << "2024-01-01" << "2024-03-05" << QStringList{item("5%王", "2024-02-02")} << "";
        QTest::newRow("slashes") << "李" << "2024/2/1" << "2024/2/1" << QStringList{item("李四", "2024-02-01")} << "";
        const QString message = u"请填写正确格式的起止日期！日期格式为“2016-01-03”。"_s;
        QTest::newRow("empty from") << "王" << "" << "2024-03-05" << QStringList{} << message;
        QTest::newRow("no such month") << "王" << "2024-13-01" << "2024-03-05" << QStringList{} << message;
        QTest::newRow("no such day") << "王" << "2024-01-01" << "2024-02-30" << QStringList{} << message;
        QTest::newRow("not a date") << "王" << "2024-01-01" << "昨天" << QStringList{} << message;
    }
    void queryListsByNameAndDates()
    {
        QFETCH(QString, name);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QStringList, listed);
        QFETCH(QString, message);
        RecordEditor e(insertListRows);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        typeInto(w.recordNameFilter(), name);
        typeInto(w.recordFromDate(), from);
        typeInto(w.recordToDate(), to);
        QTest::mouseClick(w.recordQueryButton(), Qt::LeftButton);
        QCOMPARE(e.listed(), listed);
        QCOMPARE(e.messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty())
            QVERIFY(e.messages.messages[0].icon == MessageIcon::Warning);
    }

    // While the indexes are read in the background, a long list (of every name, or by name) is
    // shown once its index is there, not read from the database with the window frozen; a list
    // asked for meanwhile replaces it.
    void longListWaitsForItsIndex_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("nameAskedMeanwhile");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("every name")
            << "" << "" << QStringList{item("5%王", "2024-02-02"), item("O'Brien", "2024-02-01"), item("李四", "2024-02-01"),
                                       item("王晓", "2024-01-31"), item("王小明", "2024-01-10"), item("王小明", "2024-02-03")};
        QTest::newRow("by name") << "王小" << "" << QStringList{item("王小明", "2024-01-10"), item("王小明", "2024-02-03")};
        QTest::newRow("replaced meanwhile") << "" << "李" << QStringList{item("李四", "2024-02-01")};
    }
    void longListWaitsForItsIndex()
    {
        QFETCH(QString, name);
        QFETCH(QString, nameAskedMeanwhile);
        QFETCH(QStringList, listed);
        RecordEditor e(insertListRows);
        QVERIFY(e.opened);
        MainWindow& w = *e.window;
        SearchIndexes& indexes = e.context.searchIndexes;
        const QString records = e.folder.paths().recordsFile();
        indexes.loadInBackground(e.store.records(), [records] { return Database::open(records, DataStore::kRecordsKey); },
                                 nullptr, nullptr);
        typeInto(w.recordNameFilter(), name);
        typeInto(w.recordFromDate(), u"2020-01-01"_s);
        typeInto(w.recordToDate(), u"2024-12-31"_s);
        w.recordQueryButton()->click();
        QVERIFY(indexes.isLoading());
        QCOMPARE(e.listed(), QStringList{});
        if (!nameAskedMeanwhile.isEmpty()) {
            typeInto(w.recordNameFilter(), nameAskedMeanwhile);
            // A short range is listed at once.
            w.recordFromDate()->setText(u"2024-01-01"_s);
            w.recordToDate()->setText(u"2024-03-01"_s);
            w.recordQueryButton()->click();
            QCOMPARE(e.listed(), listed);
        }
        QTRY_VERIFY(!indexes.isLoading());
        QVERIFY(indexes.recordOrder() && indexes.recordNames());
        QCOMPARE(e.listed(), listed);
        QCOMPARE(e.messages.texts(), QStringList{});
    }

    void openingTakesTheClickedRecordWhateverTheFiltersSayNow()
    {
        RecordEditor e(insertListRows);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        typeInto(w.recordNameFilter(), u"王"_s);
        typeInto(w.recordFromDate(), u"2024-01-01"_s);
        typeInto(w.recordToDate(), u"2024-02-29"_s);
        QTest::mouseClick(w.recordQueryButton(), Qt::LeftButton);
        typeInto(w.recordNameFilter(), u"李"_s);
        typeInto(w.recordFromDate(), u"2024-02-01"_s);
        clickItem(w.recordList(), 2);
        QCOMPARE(w.recordKeyLabel()->text(), u"2024-01-10 08:00:00"_s);
        QCOMPARE(e.field(headingIndex(HeadingField::Name))->text(), u"王小明"_s);
        QCOMPARE(e.field(headingIndex(HeadingField::Date))->text(), u"2024-01-10"_s);
        QCOMPARE(e.listed().size(), 4);  // opening leaves the list as it was
    }

    void openingReplacesEveryField()
    {
        RecordEditor e([](RecordEditor& e) { e.insertRecord(u"2024-03-01 08:00:00"_s, u"李四"_s, u"2024-03-01"_s); });
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        for (int i = 0; i < kHeadingFieldCount; ++i)
            e.field(i)->setText(u"旧"_s);
        w.setKind(u"儿科"_s);
        w.body()->setPlainText(u"阿莫西林胶囊  0.25g*24\n    用法：0.5g tid\n"_s);
        w.historyBox()->setPlainText(u"旧病史"_s);
        w.hidePopups();
        for (RowList* popup : {w.diagnosisPopup(), w.addressPopup(), w.patientPopup()})
            QCOMPARE(popup->count(), 0);

        clickItem(w.recordList(), 0);
        for (int i = 0; i < kHeadingFieldCount; ++i) {
            const QString expected = i == headingIndex(HeadingField::Name)  ? u"李四"_s
                                     : i == headingIndex(HeadingField::Sex) ? u"男"_s
                                     : i == headingIndex(HeadingField::Age) ? u"25岁"_s
                                     : i == headingIndex(HeadingField::Date) ? u"2024-03-01"_s
                                                      : QString();
            QCOMPARE(e.field(i)->text(), expected);
        }
        QCOMPARE(w.kindLabel()->text(), u"普通"_s);
        QCOMPARE(w.titleLabel()->text(), u"普通处方笺"_s);
        QCOMPARE(w.body()->toPlainText(), QString());
        QCOMPARE(w.injectionCardBox()->toPlainText(), QString());
        QCOMPARE(w.historyBox()->toPlainText(), QString());
        // No look-up ran, yet the card header follows the fields.
        for (RowList* popup : {w.diagnosisPopup(), w.addressPopup(), w.patientPopup()}) {
            QCOMPARE(popup->count(), 0);
            QVERIFY(popup->isHidden());
        }
        QCOMPARE(w.cardHeaderBox(CardHeader::Name)->text(), u"李四"_s);
        QCOMPARE(w.cardHeaderBox(CardHeader::Date)->text(), u"2024-03-01"_s);
        QCOMPARE(w.cardHeaderBox(CardHeader::Doctor)->text(), QString());
    }

    void todaysPatients()
    {
        RecordEditor e([](RecordEditor& e) {
            e.insertRecord(u"2024-03-04 08:00:00"_s, u"王一"_s, u"2024-03-04"_s);
            e.insertRecord(u"2024-03-05 08:00:00"_s, u"李二"_s, u"2024-03-05"_s);
            e.insertRecord(u"2024-03-05 08:05:00"_s, u"王三"_s, u"2024-03-05"_s);
        });
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        typeInto(w.recordNameFilter(), u"王"_s);
        w.recordFromDate()->clear();
        QTest::mouseClick(w.todayPatientsLink(), Qt::LeftButton);
        QCOMPARE(w.recordNameFilter()->text(), QString());
        QCOMPARE(w.recordFromDate()->text(), u"2024-03-05"_s);
        QCOMPARE(w.recordToDate()->text(), u"2024-03-05"_s);
        QCOMPARE(e.listed(), (QStringList{item("王三", "2024-03-05"), item("李二", "2024-03-05")}));
    }

    void clickIntoAnEmptyDateBoxGivesToday_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty") << "" << "2024-03-05";
        QTest::newRow("a date") << "2023-12-31" << "2023-12-31";
        QTest::newRow("any text") << "abc" << "abc";
    }
    void clickIntoAnEmptyDateBoxGivesToday()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        for (QLineEdit* box : {e.window->recordFromDate(), e.window->recordToDate()}) {
            box->setText(before);
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(box->text(), after);
            if (before.isEmpty())
                QCOMPARE(box->cursorPosition(), int(after.size()));
        }
    }

    void deleteAfterTheConfirmation_data()
    {
        QTest::addColumn<bool>("opened");  // the editor holds a listed record, else a new one
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("deleted");
        QTest::newRow("confirmed") << true << true << true;
        QTest::newRow("declined") << true << false << false;
        QTest::newRow("unsaved prescription") << false << true << false;
    }
    void deleteAfterTheConfirmation()
    {
        QFETCH(bool, opened);
        QFETCH(bool, answer);
        QFETCH(bool, deleted);
        RecordEditor e([](RecordEditor& e) {
            e.insertRecord(u"2024-03-01 08:00:00"_s, u"李四"_s, u"2024-03-01"_s);
            e.insertRecord(u"2024-03-02 08:00:00"_s, u"王五"_s, u"2024-03-02"_s);
            e.insertRecord(u"2024-03-03 08:00:00"_s, u"赵六"_s, u"2024-03-03"_s);
        });
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        if (opened)
            clickItem(w.recordList(), 1);
        else
            e.field(headingIndex(HeadingField::Name))->setText(u"新病人"_s);
        const QString key = w.recordKeyLabel()->text();
        const QString name = e.field(headingIndex(HeadingField::Name))->text();
        const QStringList listedBefore = e.listed();
        e.messages.answers = {answer};

        // The right button opens nothing: the menu acts on the record in the editor.
        clickItem(w.recordList(), 0, Qt::RightButton);
        auto* menu = w.findChild<QMenu*>(u"recordListMenu"_s);
        QVERIFY(menu);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(w.recordKeyLabel()->text(), key);
        QStringList captions;
        for (const QAction* a : menu->actions())
            captions << a->text();
        QCOMPARE(captions, (QStringList{u"删除"_s, u"取消"_s}));
        menu->close();
        menu->findChild<QAction*>(u"actionDeleteRecord"_s)->trigger();

        QCOMPARE(e.messages.messages.size(), 1);
        if (opened) {
            QCOMPARE(e.messages.messages[0].text, u"确实要永久删除该病人档案吗？"_s);
            QVERIFY(e.messages.messages[0].question && e.messages.messages[0].icon == MessageIcon::Warning);  // 确定 / 取消
        } else {
            // Nothing stored to delete: no question, and the unsaved work stays.
            QCOMPARE(e.messages.messages[0].text, u"这张处方还没有保存，没有可删除的档案。"_s);
            QVERIFY(!e.messages.messages[0].question);
        }
        const qint64 stored = opened ? 1 : 0;
        QCOMPARE(recordsWithKey(e, key), deleted ? 0 : stored);
        QCOMPARE(rowCount(*e.store.records(), R"(SELECT count(*) FROM "档案" WHERE "名称" LIKE ?)", u"2024-03-0%"_s),
                 deleted ? 2 : 3);
        if (deleted) {
            QCOMPARE(e.listed(), (QStringList{item("赵六", "2024-03-03"), item("李四", "2024-03-01")}));
            QCOMPARE(e.field(headingIndex(HeadingField::Name))->text(), QString());
            QVERIFY(w.recordKeyLabel()->text() != key);
        } else {
            QCOMPARE(e.listed(), listedBefore);
            QCOMPARE(e.field(headingIndex(HeadingField::Name))->text(), name);
            QCOMPARE(w.recordKeyLabel()->text(), key);
        }
    }

    void noMenuOverAnEmptyList()
    {
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QListView* list = e.window->recordList();
        QCOMPARE(list->model()->rowCount(), 0);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, QPoint(10, 10));
        QTest::qWait(20);
        QVERIFY(!e.window->findChild<QMenu*>(u"recordListMenu"_s)->isVisible());
    }
};

QTEST_MAIN(RecordCommandsTest)
#include "RecordCommandsTest.moc"
