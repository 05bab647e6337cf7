#include "ProgramFixture.h"
#include "SettingsWindow.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace qelvaro;
using namespace qelvaro::test;

namespace {

// A program folder with the template databases, the working copy and its window.
struct Fixture : ProgramFixture {
    std::unique_ptr<SettingsWindow> window;

    bool open()
    {
        if (!opened)
            return false;
        window = std::make_unique<SettingsWindow>(context);
        return true;
    }

    template <typename T>
    T* find(const QString& name) const
    {
        return window->findChild<T*>(name);
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(QString::fromUtf8(name)); }
    void retype(QLineEdit* box, const QString& text) const
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        typeText(box, text);
    }
    void click(const char* button) const
    {
        QTest::mouseClick(find<QPushButton>(QString::fromUtf8(button)), Qt::LeftButton);
    }

    QString column(const QString& name) const
    {
        Statement st = store.settings()->prepare(
            (QStringLiteral("SELECT \"%1\" FROM \"设置\"").arg(name)).toUtf8().toStdString());
        return st.next() ? (st.isNull(0) ? QStringLiteral("<null>") : st.text(0)) : QStringLiteral("<no row>");
    }
    QStringList row() const
    {
        Statement st = store.settings()->prepare("SELECT * FROM \"设置\"");
        QStringList fields;
        if (st.next())
            for (int i = 0; i < st.columnCount(); ++i)
                fields << st.columnName(i) + u'=' + st.text(i);
        return fields;
    }
    bool setColumn(const QString& name, const QVariant& value) const
    {
        Statement st = store.settings()->prepare(
            (QStringLiteral("UPDATE \"设置\" SET \"%1\" = ?").arg(name)).toUtf8().toStdString());
        st.bind(1, value);
        return st.run();
    }
};

}  // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void templateRowIsShown()
    {
        Fixture f;
        QVERIFY(f.open());
        f.window->show();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("基本设置"));
        QCOMPARE(f.edit("clinicNameEdit")->text(), QStringLiteral("清溪社区卫生服务站"));
        QCOMPARE(f.edit("doctorEdit")->text(), QStringLiteral("林志远"));
        QCOMPARE(f.edit("dispenserEdit")->text(), QStringLiteral("周晓梅"));
        QCOMPARE(f.edit("reviewerEdit")->text(), QStringLiteral("陈建华"));
        QCOMPARE(f.edit("feeClassEdit")->text(), QStringLiteral("农保"));
        QCOMPARE(f.edit("departmentEdit")->text(), QStringLiteral("内科"));
        for (const char* margin : {"sheetLeftEdit", "sheetTopEdit", "cardLeftEdit", "cardTopEdit"})
            QCOMPARE(f.edit(margin)->text(), QStringLiteral("10"));
        QCOMPARE(f.edit("overlayLeftEdit")->text(), QStringLiteral("0"));
        QCOMPARE(f.edit("overlayTopEdit")->text(), QStringLiteral("0"));
        QVERIFY(f.find<QRadioButton>(QStringLiteral("portraitOption"))->isChecked());
        QVERIFY(!f.find<QRadioButton>(QStringLiteral("landscapeOption"))->isChecked());
        QCOMPARE(f.find<QComboBox>(QStringLiteral("fontNameCombo"))->currentText(), QStringLiteral("宋体"));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("fontSizeCombo"))->currentText(), QStringLiteral("12"));
        QCOMPARE(f.edit("overlayLeft0")->text(), QStringLiteral("26"));
        QCOMPARE(f.edit("overlayTop8")->text(), QStringLiteral("160"));

        const QStringList unticked{QStringLiteral("女(划掉男)"), QStringLiteral("男(划掉女)"), QStringLiteral("既往史"),
                                   QStringLiteral("电话")};
        const QStringList& names = SettingsCopy::overlayItemNames();
        QCOMPARE(names.size(), SettingsCopy::kOverlayItemCount);
        QList<QCheckBox*> checks;
        for (int i = 0; i < SettingsCopy::kOverlayItemCount; ++i) {
            auto* check = f.find<QCheckBox>(QStringLiteral("overlayCheck%1").arg(i));
            QVERIFY(check);
            checks << check;
            QCOMPARE(check->text(), names[i]);
            const bool ticked = !unticked.contains(names[i]);
            QVERIFY2(check->isChecked() == ticked, qPrintable(names[i]));
            QCOMPARE(f.edit(QStringLiteral("overlayLeft%1").arg(i).toUtf8())->isEnabled(), ticked);
            QCOMPARE(f.edit(QStringLiteral("overlayTop%1").arg(i).toUtf8())->isEnabled(), ticked);
        }
        // The lines of the overlay frame, top to bottom.
        std::sort(checks.begin(), checks.end(), [](QCheckBox* a, QCheckBox* b) { return a->y() < b->y(); });
        QStringList order;
        for (QCheckBox* c : checks)
            order << c->text();
        QCOMPARE(order, QString("姓名 性别 男(划掉女) 女(划掉男) 年龄 费别 医疗证号 科别 住址|电话 临床诊断 日期 "
                                "日期(年) 日期(月) 日期(日) 过敏史 既往史 电话 医生 配药 复核 药费 其他收费 处方正文")
                            .split(u' '));
    }

    void controlsCarryTheirCaptions()
    {
        Fixture f;
        QVERIFY(f.open());
        QStringList frames;
        for (const QGroupBox* g : f.window->findChildren<QGroupBox*>())
            frames << g->title();
        QCOMPARE(frames, (QStringList{QStringLiteral("基本设置"), QStringLiteral("修改登录密码"),
                                      QStringLiteral("打印设置(单位：毫米)"), QStringLiteral("处方套打设置")}));
        QStringList labels;
        for (const QLabel* l : f.window->findChildren<QLabel*>())
            labels << l->text();
        for (const char* text : {"医疗机构名称", "医生", "配药", "复核", "默认费别", "默认科别", "原密码", "新密码",
                                 "处方左边距：", "处方上边距：", "处方字体", "字体大小", "处方打印方式：", "套打左边距：",
                                 "套打上边距：", "注射卡左边距：", "注射卡上边距：", "左边距", "上边距"})
            QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
        QVERIFY(labels.contains(QStringLiteral("提示：处方套打是指在已事先印刷的处方上进行打印，首先把需要打印的项目打钩，然后仔细设置每个项目的左边距及上边距，单位是毫米，使每个项目能在原有格式的印刷处方上进行对齐。")));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("saveButton"))->text(), QStringLiteral("保  存"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("cancelButton"))->text(), QStringLiteral("取  消"));
        QCOMPARE(f.find<QPushButton>(QStringLiteral("changePasswordButton"))->text(), QStringLiteral("修改密码"));
        auto* sizes = f.find<QComboBox>(QStringLiteral("fontSizeCombo"));
        QVERIFY(sizes->isEditable());
        QStringList sizeList;
        for (int i = 0; i < sizes->count(); ++i)
            sizeList << sizes->itemText(i);
        QCOMPARE(sizeList, QString("10 11 12 13 14 16 18 20").split(u' '));
        auto* fonts = f.find<QComboBox>(QStringLiteral("fontNameCombo"));
        QVERIFY(fonts->isEditable());
        QCOMPARE(fonts->count(), 3);
        QCOMPARE(fonts->itemText(1), QStringLiteral("楷体_GB2312"));
    }

    // Every font name shows whole in the font box and in its drop list; the other print boxes
    // keep their width.
    void fontBoxShowsEveryNameWhole()
    {
        Fixture f;
        QVERIFY(f.open());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto* fonts = f.find<QComboBox>(QStringLiteral("fontNameCombo"));
        QLineEdit* shown = fonts->lineEdit();
        // A line box keeps 2 pixels on either side of its text and 1 for the caret.
        const int room = shown->contentsRect().width() - 4 - 1;
        for (int i = 0; i < fonts->count(); ++i) {
            fonts->setCurrentIndex(i);
            const int advance = shown->fontMetrics().horizontalAdvance(fonts->itemText(i));
            QVERIFY2(advance <= room, qPrintable(u"%1: %2 > %3"_qs.arg(fonts->itemText(i)).arg(advance).arg(room)));
        }
        fonts->showPopup();
        QAbstractItemView* list = fonts->view();
        QVERIFY(list->isVisible());
        QVERIFY2(list->sizeHintForColumn(0) <= list->viewport()->width(),
                 qPrintable(u"%1 > %2"_qs.arg(list->sizeHintForColumn(0)).arg(list->viewport()->width())));
        fonts->hidePopup();
        QCOMPARE(f.find<QComboBox>(QStringLiteral("fontSizeCombo"))->width(), f.edit("sheetTopEdit")->width());
    }

    void offsetsAreStoredAsNumbers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("unit letters") << QStringLiteral("12.5mm") << QStringLiteral("12.5");
        QTest::newRow("letters only") << QStringLiteral("abc") << QStringLiteral("0");
        QTest::newRow("empty") << QString() << QStringLiteral("0");
        QTest::newRow("blanks and trailing zero") << QStringLiteral(" 26.0") << QStringLiteral("26");
    }

    void offsetsAreStoredAsNumbers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Fixture f;
        QVERIFY(f.open());
        f.window->show();
        f.retype(f.edit("overlayLeft0"), typed);
        // An item unticked after its box was typed in still saves the (now disabled) box.
        auto* pastHistory = f.find<QCheckBox>(QStringLiteral("overlayCheck21"));
        QTest::mouseClick(pastHistory, Qt::LeftButton);
        f.retype(f.edit("overlayTop21"), typed);
        QTest::mouseClick(pastHistory, Qt::LeftButton);
        QVERIFY(!f.edit("overlayTop21")->isEnabled());
        f.click("saveButton");
        QVERIFY(f.messages.messages.isEmpty());
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.column(QStringLiteral("姓名2")), stored);
        QCOMPARE(f.column(QStringLiteral("既往史3")), stored);
        QCOMPARE(f.column(QStringLiteral("既往史1")), QStringLiteral("0"));

        f.window->show();
        QCOMPARE(f.edit("overlayLeft0")->text(), stored);
        QCOMPARE(f.edit("overlayTop21")->text(), stored);
    }

    void savedTextsAreKeptAsTyped()
    {
        Fixture f;
        QVERIFY(f.open());
        QSignalSpy saved(&f.settings, &SettingsCopy::clinicNameSaved);
        f.window->show();
        f.retype(f.edit("sheetLeftEdit"), QStringLiteral("12mm"));
        f.retype(f.edit("clinicNameEdit"), QStringLiteral("  河口'诊所\"%_"));
        f.retype(f.find<QComboBox>(QStringLiteral("fontSizeCombo"))->lineEdit(), QStringLiteral("1"));
        QTest::mouseClick(f.find<QCheckBox>(QStringLiteral("overlayCheck0")), Qt::LeftButton);
        QTest::mouseClick(f.find<QRadioButton>(QStringLiteral("landscapeOption")), Qt::LeftButton);
        f.click("saveButton");

        QVERIFY(f.messages.messages.isEmpty());
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.first().first().toString(), QStringLiteral("  河口'诊所\"%_"));
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.settings.isLoaded());
        QCOMPARE(f.column(QStringLiteral("左边距")), QStringLiteral("12mm"));
        QCOMPARE(f.column(QStringLiteral("名称")), QStringLiteral("  河口'诊所\"%_"));
        QCOMPARE(f.column(QStringLiteral("大小")), QStringLiteral("1"));
        QCOMPARE(f.column(QStringLiteral("姓名1")), QStringLiteral("0"));
        QCOMPARE(f.column(QStringLiteral("竖打")), QStringLiteral("0"));

        f.window->show();
        QCOMPARE(f.edit("sheetLeftEdit")->text(), QStringLiteral("12mm"));
        QVERIFY(f.find<QRadioButton>(QStringLiteral("landscapeOption"))->isChecked());
        QVERIFY(!f.edit("overlayLeft0")->isEnabled());
    }

    void saveLeavesTheOtherColumnsAlone()
    {
        Fixture f;
        QVERIFY(f.open());
        const QStringList others{QStringLiteral("左边距3"), QStringLiteral("上边距3"), QStringLiteral("竖打3"),
                                 QStringLiteral("左边距4"), QStringLiteral("上边距4"), QStringLiteral("竖打4"),
                                 QStringLiteral("左边距6"), QStringLiteral("上边距6"), QStringLiteral("索引"),
                                 QStringLiteral("竖打2"), QStringLiteral("竖打5"), QStringLiteral("竖打6")};
        for (int i = 0; i < others.size(); ++i)
            QVERIFY(f.setColumn(others[i], i == 0 ? QVariant() : QVariant(QStringLiteral("v%1").arg(i))));
        f.window->show();
        f.retype(f.edit("doctorEdit"), QStringLiteral("王医生"));
        f.click("saveButton");
        QCOMPARE(f.column(QStringLiteral("医生")), QStringLiteral("王医生"));
        for (int i = 0; i < others.size(); ++i)
            QCOMPARE(f.column(others[i]), i == 0 ? QStringLiteral("<null>") : QStringLiteral("v%1").arg(i));
    }

    void unsavedEditsAreWhatReadersSee()
    {
        Fixture f;
        QVERIFY(f.open());
        f.window->show();
        f.retype(f.edit("doctorEdit"), QStringLiteral("张三"));
        f.retype(f.find<QComboBox>(QStringLiteral("fontNameCombo"))->lineEdit(), QStringLiteral("隶书"));
        f.retype(f.edit("overlayLeft3"), QStringLiteral("7.5"));
        QTest::mouseClick(f.find<QCheckBox>(QStringLiteral("overlayCheck3")), Qt::LeftButton);

        const SettingsCopy::Values& v = f.settings.values();
        QCOMPARE(v.doctor, QStringLiteral("张三"));
        QCOMPARE(v.fontName, QStringLiteral("隶书"));
        QCOMPARE(v.overlay[3].left, QStringLiteral("7.5"));
        QVERIFY(!v.overlay[3].printed);
        // Unticking disables the boxes at once and keeps their values.
        QVERIFY(!f.edit("overlayLeft3")->isEnabled());
        QVERIFY(!f.edit("overlayTop3")->isEnabled());
        QCOMPARE(f.edit("overlayLeft3")->text(), QStringLiteral("7.5"));
        QTest::mouseClick(f.find<QCheckBox>(QStringLiteral("overlayCheck3")), Qt::LeftButton);
        QVERIFY(f.edit("overlayLeft3")->isEnabled());
        QCOMPARE(f.column(QStringLiteral("医生")), QStringLiteral("林志远"));
    }

    void cancelDropsTheEdits_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("取消") << true;
        QTest::newRow("close box") << false;
    }

    void cancelDropsTheEdits()
    {
        QFETCH(bool, byButton);
        Fixture f;
        QVERIFY(f.open());
        const QStringList before = f.row();
        QSignalSpy saved(&f.settings, &SettingsCopy::clinicNameSaved);
        f.window->show();
        f.retype(f.edit("doctorEdit"), QStringLiteral("张三"));
        f.retype(f.edit("overlayLeft0"), QStringLiteral("99"));
        if (byButton)
            f.click("cancelButton");
        else
            f.window->close();
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.settings.isLoaded());
        QCOMPARE(f.settings.values().doctor, QStringLiteral("林志远"));
        QCOMPARE(f.settings.values().overlay[0].left, QStringLiteral("26"));
        QCOMPARE(f.row(), before);
        QCOMPARE(saved.size(), 0);
        f.window->show();
        QCOMPARE(f.edit("doctorEdit")->text(), QStringLiteral("林志远"));
    }

    void refusedSaveKeepsTheRowAndTheEdits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("doctor of 11 characters") << QStringLiteral("doctorEdit") << QStringLiteral("一二三四五六七八九十十")
                                                 << QStringLiteral("“医生”最多只能填写10个字，设置未保存。");
        QTest::newRow("emptied sheet margin") << QStringLiteral("sheetLeftEdit") << QString()
                                              << QStringLiteral("“处方左边距”不能为空，设置未保存。");
        QTest::newRow("emptied font size") << QStringLiteral("fontSizeCombo") << QString()
                                           << QStringLiteral("“字体大小”不能为空，设置未保存。");
        QTest::newRow("lone surrogate in the doctor") << QStringLiteral("doctorEdit") << QStringLiteral("李") + QChar(0xDC00)
                                                      << QStringLiteral("“医生”中有无法保存的字符，设置未保存。");
    }

    void refusedSaveKeepsTheRowAndTheEdits()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(f.open());
        const QStringList before = f.row();
        QSignalSpy saved(&f.settings, &SettingsCopy::clinicNameSaved);
        f.window->show();
        f.retype(f.edit("clinicNameEdit"), QStringLiteral("新名称"));
        QLineEdit* edit = f.edit(box.toUtf8());
        if (!edit)
            edit = f.find<QComboBox>(box)->lineEdit();
        f.retype(edit, typed);
        f.click("saveButton");

        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.messages.first().title, QStringLiteral("提示"));
        QVERIFY(f.window->isVisible());
        QCOMPARE(saved.size(), 0);
        QCOMPARE(f.row(), before);
        QVERIFY(f.settings.isLoaded());
        QCOMPARE(f.settings.values().clinicName, QStringLiteral("新名称"));
        QCOMPARE(edit->text(), typed);

        // Mended, the same window saves.
        f.retype(edit, QStringLiteral("12"));
        f.click("saveButton");
        QCOMPARE(saved.size(), 1);
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.column(QStringLiteral("名称")), QStringLiteral("新名称"));
    }

    void orientationFromTheRow_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("portrait");
        QTest::newRow("0") << QVariant(QStringLiteral("0")) << false;
        QTest::newRow("1") << QVariant(QStringLiteral("1")) << true;
        QTest::newRow("empty") << QVariant(QStringLiteral("")) << true;
        QTest::newRow("other") << QVariant(QStringLiteral("x")) << true;
        QTest::newRow("missing") << QVariant() << true;
    }

    void orientationFromTheRow()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, portrait);
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.setColumn(QStringLiteral("竖打"), stored));
        f.window->show();
        QCOMPARE(f.find<QRadioButton>(QStringLiteral("portraitOption"))->isChecked(), portrait);
        QCOMPARE(f.find<QRadioButton>(QStringLiteral("landscapeOption"))->isChecked(), !portrait);
        f.click("saveButton");
        QCOMPARE(f.column(QStringLiteral("竖打")), portrait ? QStringLiteral("1") : QStringLiteral("0"));
    }

    void overlayTickFromTheRow_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("state");  // Qt::CheckState
        QTest::addColumn<QString>("saved");
        QTest::newRow("ticked") << "1" << int(Qt::Checked) << "1";
        QTest::newRow("clear") << "0" << int(Qt::Unchecked) << "0";
        QTest::newRow("greyed") << "2" << int(Qt::PartiallyChecked) << "2";
        QTest::newRow("rounds down") << "0.4" << int(Qt::Unchecked) << "0";
        QTest::newRow("half rounds to even") << "1.5" << int(Qt::PartiallyChecked) << "2";
        QTest::newRow("out of range") << "3" << int(Qt::Unchecked) << "0";
        QTest::newRow("negative") << "-1" << int(Qt::Unchecked) << "0";
        QTest::newRow("not a number") << "abc" << int(Qt::Unchecked) << "0";
    }
    // Only a tick of 1 prints (checked by the overlay print); a greyed box keeps its offsets
    // editable and its flag through a save, and once clicked only ticks and clears.
    void overlayTickFromTheRow()
    {
        QFETCH(QString, stored);
        QFETCH(int, state);
        QFETCH(QString, saved);
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.setColumn(QStringLiteral("电话1"), stored));
        const SettingsCopy::Values& v = f.settings.values();
        QCOMPARE(v.overlay[22].printed, state == Qt::Checked);
        QCOMPARE(v.overlay[22].greyed, state == Qt::PartiallyChecked);
        f.window->show();
        auto* check = f.find<QCheckBox>(QStringLiteral("overlayCheck22"));
        QCOMPARE(int(check->checkState()), state);
        QCOMPARE(f.edit("overlayLeft22")->isEnabled(), state != Qt::Unchecked);
        f.click("saveButton");
        QCOMPARE(f.column(QStringLiteral("电话1")), saved);

        f.window->show();
        QTest::mouseClick(check, Qt::LeftButton);
        QTest::mouseClick(check, Qt::LeftButton);
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(check->checkState(), state == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }

    void missingValuesFromTheRow()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.setColumn(QStringLiteral("性别2"), QStringLiteral("abc")));
        QVERIFY(f.setColumn(QStringLiteral("医生"), QVariant()));
        QVERIFY(f.setColumn(QStringLiteral("上边距"), QVariant()));
        const SettingsCopy::Values& v = f.settings.values();
        QCOMPARE(v.overlay[1].left, QStringLiteral("0"));
        // A missing value leaves the design value.
        QCOMPARE(v.doctor, QString());
        QCOMPARE(v.sheetTop, QStringLiteral("200"));
    }

    void unreadableRowGivesTheDesignValues()
    {
        Fixture f;
        QVERIFY(f.open());
        QVERIFY(f.store.settings()->exec("DELETE FROM \"设置\""));
        f.window->show();
        QCOMPARE(f.edit("clinicNameEdit")->text(), QString());
        QCOMPARE(f.edit("doctorEdit")->text(), QString());
        QCOMPARE(f.edit("sheetLeftEdit")->text(), QStringLiteral("120"));
        QCOMPARE(f.edit("sheetTopEdit")->text(), QStringLiteral("200"));
        QCOMPARE(f.edit("overlayLeftEdit")->text(), QStringLiteral("120"));
        QCOMPARE(f.edit("cardTopEdit")->text(), QStringLiteral("200"));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("fontSizeCombo"))->currentText(), QStringLiteral("11"));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("fontNameCombo"))->currentText(), QStringLiteral("宋体"));
        QVERIFY(f.find<QRadioButton>(QStringLiteral("landscapeOption"))->isChecked());
        QVERIFY(!f.find<QCheckBox>(QStringLiteral("overlayCheck0"))->isChecked());
        QVERIFY(!f.edit("overlayLeft0")->isEnabled());
        QCOMPARE(f.edit("overlayLeft0")->text(), QString());

        // Nothing to write into: told, and the window stays.
        f.click("saveButton");
        QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("找不到设置记录，设置未保存。")});
        QVERIFY(f.window->isVisible());

        SettingsCopy noDatabase(nullptr);
        QCOMPARE(noDatabase.values().sheetLeft, QStringLiteral("120"));
        QString error;
        QVERIFY(!noDatabase.save(&error));
        QCOMPARE(error, QStringLiteral("设置数据库未打开，设置未保存。"));
    }

    void unloadingTheCopyClosesTheWindow()
    {
        Fixture f;
        QVERIFY(f.open());
        QSignalSpy unloaded(&f.settings, &SettingsCopy::unloaded);
        f.window->show();
        QVERIFY(f.settings.isLoaded());
        f.settings.unload();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(unloaded.size(), 1);
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
