#include "ClickLabel.h"
#include "Fonts.h"
#include "Pinyin.h"
#include "RecordEditorFixture.h"
#include "RowList.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>

using namespace qelvaro;
using namespace qelvaro::test;
using namespace Qt::StringLiterals;

using P = Prescription;

namespace {

struct Template {
    const char* name;
    const char* content;
};
// By name in pinyin order: 发热, 咳嗽, 头痛.
const QList<Template> kTemplates{
    {"咳嗽模板", "主诉：咳嗽。\r\n"},
    {"头痛模板", "主诉：头痛。\r\n"},
    {"发热模板", "主诉：发热。\r\n"},
};

// The catalogues and the patient register the look-ups read.
void prepareCatalogues(RecordEditor& e)
{
    QVERIFY(e.replaceNames("诊断", {{u"上呼吸道感染"_s, u"shxdgr"_s},
                                    {u"咳嗽"_s, u"ks"_s},
                                    {u"急性咽炎"_s, u"jxyy"_s},
                                    {u"扁桃体炎"_s, u"btty"_s}}));
    QVERIFY(e.replaceNames("地址", {{u"东岭村一组"_s, u"dlcyz"_s}, {u"南河街道"_s, u"nhjd"_s}}));
    Database& settings = *e.store.settings();
    QVERIFY(settings.exec(R"(DELETE FROM "病史模板")"));
    Statement st = settings.prepare(R"(INSERT INTO "病史模板" ("名称", "内容", "序号", "拼音") VALUES (?, ?, ?, ?))");
    for (const Template& t : kTemplates) {
        const QString name = QString::fromUtf8(t.name);
        st.reset();
        QVERIFY(st.bindAll(name, QString::fromUtf8(t.content), name + pinyinCode(name), pinyinCode(name)).run());
    }
    QVERIFY(e.insertPatient(u"王小明"_s, u"1999"_s, u"card-1"_s) > 0);
    QVERIFY(e.insertPatient(u"王小红"_s, u"abc"_s, u"card-2"_s) > 0);  // no age can be worked out: not listed
    QVERIFY(e.insertPatient(u"王小华"_s, u"1980"_s, u"card-3"_s) > 0);
}

QStringList texts(const QAbstractItemView* list)
{
    QStringList result;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        result << list->model()->index(i, 0).data().toString();
    return result;
}

QPoint itemCentre(const QAbstractItemView* list, int row)
{
    return list->visualRect(list->model()->index(row, 0)).center();
}

void focus(QWidget* widget)
{
    widget->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), widget);
}

}  // namespace

class PatientFieldsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFontSubstitutions(); }

    void sexField_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");  // empty: a click instead
        QTest::addColumn<QString>("after");
        QTest::newRow("1 is 男") << "" << "1" << "男";
        QTest::newRow("2 is 女") << "" << "2" << "女";
        QTest::newRow("other text stays") << "" << "x" << "x";
        QTest::newRow("click 男") << "男" << "" << "女";
        QTest::newRow("click 女") << "女" << "" << "男";
        QTest::newRow("click empty") << "" << "" << "男";
    }
    void sexField()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* sex = e.field(headingIndex(HeadingField::Sex));
        sex->setText(before);
        if (typed.isEmpty()) {
            QTest::mouseClick(sex, Qt::LeftButton);
        } else {
            focus(sex);
            QTest::keyClicks(sex, typed);
        }
        QCOMPARE(sex->text(), after);
        QCOMPARE(sex->cursorPosition(), int(after.size()));
        QCOMPARE(e.window->cardHeaderBox(CardHeader::Sex)->text(), after);
    }

    void feeFieldsTakeTheFullWidthStop_data()
    {
        QTest::addColumn<int>("field");
        QTest::newRow("药费") << int(headingIndex(HeadingField::DrugFee));
        QTest::newRow("其他") << int(headingIndex(HeadingField::OtherFee));
    }
    void feeFieldsTakeTheFullWidthStop()
    {
        QFETCH(int, field);
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* fee = e.field(field);
        focus(fee);
        typeText(fee, u"12。5"_s);
        QCOMPARE(fee->text(), u"12.5"_s);
        QCOMPARE(fee->cursorPosition(), 4);
    }

    // A paste into a heading box takes what fits of its first line, tabs as blanks: nothing that
    // would break the lists and printouts reaches the record, and a long paste is not lost whole.
    void pasteIntoAHeadingBox_data()
    {
        QTest::addColumn<int>("field");  // -1: the record list's name filter
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");
        QTest::newRow("姓名") << int(headingIndex(HeadingField::Name)) << u"张\t三\r\n李四"_s << u"张 三"_s;
        QTest::newRow("姓名 cut") << int(headingIndex(HeadingField::Name)) << u"欧阳修文忠公"_s << u"欧阳修文忠"_s;
        QTest::newRow("诊断") << int(headingIndex(HeadingField::Diagnosis)) << u"感冒\n发热"_s << u"感冒"_s;
        QTest::newRow("药费") << int(headingIndex(HeadingField::DrugFee)) << u"12.50元（自费药）"_s << u"12.50元（自费药"_s;
        QTest::newRow("name filter") << -1 << u"王\t五\n"_s << u"王 五"_s;
    }
    void pasteIntoAHeadingBox()
    {
        QFETCH(int, field);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* box = field >= 0 ? e.field(field) : e.window->recordNameFilter();
        box->clear();
        focus(box);
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), after);
    }

    void enterMovesOnAsTab_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("姓名 to 性别") << int(headingIndex(HeadingField::Name)) << int(headingIndex(HeadingField::Sex));
        QTest::newRow("住址 to 日期") << int(headingIndex(HeadingField::Address)) << int(headingIndex(HeadingField::Date));
        QTest::newRow("过敏史 past the hidden fields to 医生") << int(headingIndex(HeadingField::Allergy)) << int(headingIndex(HeadingField::Doctor));
    }
    void enterMovesOnAsTab()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* box = e.field(from);
        box->setText(u"ab"_s);
        focus(box);
        box->setCursorPosition(0);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), e.field(to));
        QCOMPARE(box->text(), u"ab"_s);
        QCOMPARE(box->cursorPosition(), 2);
        // The field entered has its caret at the end, not its text selected as a Tab would.
        QLineEdit* next = e.field(to);
        QVERIFY(!next->hasSelectedText());
        QCOMPARE(next->cursorPosition(), int(next->text().size()));
    }

    void downMovesIntoThePopup_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("popup");  // empty: the focus stays
        QTest::newRow("patients") << int(headingIndex(HeadingField::Name)) << "王小" << "patientPopup";
        QTest::newRow("addresses on entry") << int(headingIndex(HeadingField::Address)) << "" << "addressPopup";
        QTest::newRow("diagnoses") << int(headingIndex(HeadingField::Diagnosis)) << "ks" << "diagnosisPopup";
        QTest::newRow("one character lists nobody") << int(headingIndex(HeadingField::Name)) << "王" << "";
        QTest::newRow("a field without popup") << int(headingIndex(HeadingField::Sex)) << "" << "";
    }
    void downMovesIntoThePopup()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, popup);
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        QLineEdit* box = e.field(field);
        focus(box);
        typeText(box, typed);
        const QString before = box->text();
        QTest::keyClick(box, Qt::Key_Down);
        if (popup.isEmpty()) {
            QCOMPARE(QApplication::focusWidget(), box);
        } else {
            auto* list = e.window->findChild<RowList*>(popup);
            QVERIFY(list->isVisible());
            QCOMPARE(QApplication::focusWidget(), list);
            QCOMPARE(list->currentRow(), 0);
            QCOMPARE(list->selectedRow(), 0);
        }
        QCOMPARE(box->text(), before);
    }

    void takingAPatientTakesTheOneShown()
    {
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QLineEdit* name = e.field(headingIndex(HeadingField::Name));
        focus(name);
        typeText(name, u"王小"_s);
        QVERIFY(w.patientPopup()->isVisible());
        QCOMPARE(texts(w.patientPopup()), (QStringList{u"王小明[25岁]"_s, u"王小华[44岁]"_s}));
        QTest::keyClick(name, Qt::Key_Down);
        QTest::keyClick(w.patientPopup(), Qt::Key_Down);
        QTest::keyClick(w.patientPopup(), Qt::Key_Return);

        const QList<std::pair<int, QString>> expected{
            {headingIndex(HeadingField::Name), u"王小华"_s},      {headingIndex(HeadingField::Sex), u"女"_s},           {headingIndex(HeadingField::Age), u"44岁"_s},
            {headingIndex(HeadingField::FeeClass), u"医保"_s},    {headingIndex(HeadingField::CardNumber), u"card-3"_s}, {headingIndex(HeadingField::Department), u"内科"_s},
            {headingIndex(HeadingField::Address), u"东岭村"_s},   {headingIndex(HeadingField::Telephone), u"138"_s},     {headingIndex(HeadingField::Diagnosis), u"咳嗽"_s},
            {headingIndex(HeadingField::Date), u"2024-03-05"_s}, {headingIndex(HeadingField::Doctor), u"林医生"_s},     {headingIndex(HeadingField::Allergy), u"青霉素"_s},
            {headingIndex(HeadingField::PastHistory), u"哮喘"_s}};
        for (const auto& [index, text] : expected)
            QCOMPARE(e.field(index)->text(), text);
        // Filled without a look-up; the card header follows.
        QVERIFY(w.patientPopup()->isHidden());
        QVERIFY(w.diagnosisPopup()->isHidden());
        QVERIFY(w.addressPopup()->isHidden());
        QCOMPARE(QApplication::focusWidget(), w.drugSearchBox());
        QCOMPARE(w.cardHeaderBox(CardHeader::Name)->text(), u"王小华"_s);
        QCOMPARE(w.cardHeaderBox(CardHeader::Age)->text(), u"44岁"_s);

        // Back to one character: the popup goes.
        name->setText(u"王小"_s);
        QVERIFY(w.patientPopup()->isVisible());
        name->setText(u"王"_s);
        QVERIFY(w.patientPopup()->isHidden());
    }

    // More patients than the list lays out at once: every one is listed and the last can be taken,
    // whether the look-up reads the index or the database; a shorter list then lists only its own.
    void aLongPatientList_data()
    {
        QTest::addColumn<bool>("indexed");
        QTest::newRow("database") << false;
        QTest::newRow("index") << true;
    }
    void aLongPatientList()
    {
        QFETCH(bool, indexed);
        constexpr int kCount = 10500;
        const auto name = [](int i) { return u"病人"_s + QString::number(i); };
        const auto item = [&](int i) { return name(i) + u'[' + QString::number(i % 80 + 4) + u"岁]"_s; };
        RecordEditor e([&](RecordEditor& e) {
            Transaction t(*e.store.records());
            for (int i = 0; i < kCount; ++i)
                QVERIFY(e.insertPatient(name(i), QString::number(2020 - i % 80)) > 0);
            QVERIFY(t.commit());
        });
        QVERIFY(e.opened);
        if (indexed) {
            e.context.searchIndexes.loadNow(e.store.records(), e.store.settings());
            QVERIFY(e.context.searchIndexes.patients());
        }
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        RowList* popup = w.patientPopup();
        QLineEdit* box = e.field(headingIndex(HeadingField::Name));
        focus(box);
        typeText(box, u"病人"_s);
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->count(), kCount);
        QCOMPARE(popup->text(0), item(0));
        QCOMPARE(popup->text(kCount - 1), item(kCount - 1));
        // The last items are laid out once the window has had its turn.
        QTRY_VERIFY(popup->itemRect(kCount - 1).isValid());
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_End);
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(box->text(), name(kCount - 1));
        QCOMPARE(e.field(headingIndex(HeadingField::Age))->text(), QString::number((kCount - 1) % 80 + 4) + u'岁');
        QVERIFY(popup->isHidden());

        box->setText(name(1049));
        QStringList expected{item(1049)};
        for (int i = 10490; i < kCount; ++i)
            expected << item(i);
        QCOMPARE(texts(popup), expected);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(box->text(), name(10490));
    }

    // Hiding the window is no hiding of its popup: shown again, the popup lists what it did.
    void thePatientListOutlastsTheWindowHidden()
    {
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        focus(e.field(headingIndex(HeadingField::Name)));
        typeText(e.field(headingIndex(HeadingField::Name)), u"王小"_s);
        w.hide();
        QVERIFY(e.show());
        QVERIFY(w.patientPopup()->isVisible());
        QCOMPARE(texts(w.patientPopup()), (QStringList{u"王小明[25岁]"_s, u"王小华[44岁]"_s}));
    }

    void diagnosisLookup_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("taken");  // the field after taking the first item
        QTest::newRow("by initials") << "ks" << QStringList{u"咳嗽"_s} << "咳嗽";
        QTest::newRow("by name") << "炎" << QStringList{u"急性咽炎"_s, u"扁桃体炎"_s} << "急性咽炎";
        QTest::newRow("the last word only") << "上呼吸道感染 jx" << QStringList{u"急性咽炎"_s} << "上呼吸道感染 急性咽炎";
        QTest::newRow("a trailing blank lists all")
            << "咳嗽 " << QStringList{u"上呼吸道感染"_s, u"咳嗽"_s, u"急性咽炎"_s, u"扁桃体炎"_s} << "咳嗽 上呼吸道感染";
        QTest::newRow("percent is literal") << "%" << QStringList{} << "";
    }
    void diagnosisLookup()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, listed);
        QFETCH(QString, taken);
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QLineEdit* diagnosis = e.field(headingIndex(HeadingField::Diagnosis));
        focus(diagnosis);
        typeText(diagnosis, typed);
        QCOMPARE(texts(w.diagnosisPopup()), listed);
        QCOMPARE(w.diagnosisPopup()->isVisible(), !listed.isEmpty());
        if (listed.isEmpty())
            return;
        QTest::keyClick(diagnosis, Qt::Key_Down);
        QTest::keyClick(w.diagnosisPopup(), Qt::Key_Return);
        QCOMPARE(diagnosis->text(), taken);
        QVERIFY(w.diagnosisPopup()->isHidden());
        QCOMPARE(QApplication::focusWidget(), diagnosis);
        QCOMPARE(diagnosis->cursorPosition(), int(taken.size()));
    }

    void enteringAFieldOffersItsCatalogue()
    {
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        e.field(headingIndex(HeadingField::Diagnosis))->setText(u"jx"_s);
        w.hidePopups();
        QTest::mouseClick(e.field(headingIndex(HeadingField::Diagnosis)), Qt::LeftButton);
        QCOMPARE(texts(w.diagnosisPopup()), QStringList{u"急性咽炎"_s});  // by pinyin, the whole text
        QVERIFY(w.diagnosisPopup()->isVisible());

        focus(e.field(headingIndex(HeadingField::Address)));  // empty: every address
        QVERIFY(w.diagnosisPopup()->isHidden());
        QCOMPARE(texts(w.addressPopup()), (QStringList{u"东岭村一组"_s, u"南河街道"_s}));
        // A double-click is a click and then the second press.
        QTest::mouseClick(w.addressPopup()->viewport(), Qt::LeftButton, {}, itemCentre(w.addressPopup(), 1));
        QCOMPARE(e.field(headingIndex(HeadingField::Address))->text(), QString());
        QTest::mouseDClick(w.addressPopup()->viewport(), Qt::LeftButton, {}, itemCentre(w.addressPopup(), 1));
        QCOMPARE(e.field(headingIndex(HeadingField::Address))->text(), u"南河街道"_s);
        QVERIFY(w.addressPopup()->isHidden());
        QCOMPARE(QApplication::focusWidget(), e.field(headingIndex(HeadingField::Address)));

        focus(e.field(headingIndex(HeadingField::Name)));
        QVERIFY(w.diagnosisPopup()->isHidden());
        QVERIFY(w.addressPopup()->isHidden());
    }

    void historyTemplates()
    {
        RecordEditor e(prepareCatalogues);
        QVERIFY(e.opened);
        QVERIFY(e.show());
        MainWindow& w = *e.window;
        QListWidget* list = w.templateList();
        QCOMPARE(texts(list), (QStringList{u"发热模板"_s, u"咳嗽模板"_s, u"头痛模板"_s}));
        typeText(w.templateSearchBox(), u"ks"_s);
        QCOMPARE(texts(list), QStringList{u"咳嗽模板"_s});
        w.templateSearchBox()->clear();
        QCOMPARE(list->count(), 3);

        QPlainTextEdit* history = w.historyBox();
        history->setPlainText(u"AB"_s);
        QTextCursor caret = history->textCursor();
        caret.setPosition(1);
        history->setTextCursor(caret);
        for (int row = 0; row < 3; ++row)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemCentre(list, row));
        QCOMPARE(history->toPlainText(), u"A主诉：发热。\n主诉：咳嗽。\n主诉：头痛。\nB"_s);
        // A move with the keys inserts too; the focus stays in the list.
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(history->toPlainText(), u"A主诉：发热。\n主诉：咳嗽。\n主诉：头痛。\n主诉：咳嗽。\nB"_s);
        QCOMPARE(QApplication::focusWidget(), list);
        // A new search inserts nothing.
        typeText(w.templateSearchBox(), u"tt"_s);
        QCOMPARE(texts(list), QStringList{u"头痛模板"_s});
        QCOMPARE(history->toPlainText(), u"A主诉：发热。\n主诉：咳嗽。\n主诉：头痛。\n主诉：咳嗽。\nB"_s);
    }

    void addToTemplatesIsVisiblyInert()
    {
        RecordEditor e;
        QVERIFY(e.opened);
        QVERIFY(e.show());
        ClickLabel* link = e.window->addTemplateLink();
        QVERIFY(link->isVisible());
        QCOMPARE(link->text(), u"添加到模板"_s);
        QVERIFY(!link->isEnabled());
        QVERIFY(link->cursor().shape() != Qt::PointingHandCursor);
        QVERIFY(link->palette().color(QPalette::Disabled, QPalette::WindowText) != QColor(0, 0, 255));
    }
};

QTEST_MAIN(PatientFieldsTest)
#include "PatientFieldsTest.moc"
