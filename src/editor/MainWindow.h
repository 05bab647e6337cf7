#pragma once

#include "BodyText.h"
#include "Command.h"
#include "EnumTable.h"
#include "HeadingFields.h"
#include "Prescription.h"
#include "RowList.h"
#include "ToolbarIcons.h"

#include <QLine>
#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace qelvaro {

// The fixed texts of the sheet.
enum class SheetLabel { Title = 0, Rp, ClinicName, Kind, KindSuffix, Fee, Stamp, BodyLimit, Count };
inline constexpr int kSheetLabelCount = enumCount<SheetLabel>;

// The fixed captions of the injection-card preview, in the order the card prints them.
enum class CardCaption { Title = 0, Name, Age, Sex, Date, Nurse, Doctor, Count };
inline constexpr int kCardCaptionCount = enumCount<CardCaption>;

// The header boxes of the injection-card preview.
enum class CardHeader { Name = 0, Sex, Age, Date, Doctor, Count };
inline constexpr int kCardHeaderCount = enumCount<CardHeader>;

// The buttons below the history text and the card preview; the first is never shown.
enum class CardButton { HiddenHistory = 0, History, InjectionCard, InfusionCard, Count };
inline constexpr int kCardButtonCount = enumCount<CardButton>;

struct AppContext;
class BodyTextEdit;
class ClickLabel;
class DrawingSurface;
class PrintCommands;
class RecordCommands;
class ToolbarButton;

// The program's main window, laid out like a paper prescription sheet: the toolbar, the drug
// picker and the record list at the left, the sheet in the middle, the history text and the
// injection-card preview at the right, the shorthand strip below.
//
// Menu items (objectName: caption, shortcut):
//   文件(F)  "menuFile":     actionNew 新建 Ctrl+N, actionRenew 续开 Ctrl+W, actionSave 保存 Ctrl+S,
//                           actionStatistics 统计 Ctrl+D, actionOutpatientLog 门诊日志 Ctrl+G,
//                           actionPrint 打印 Ctrl+P, actionOverlayPrint 在印刷处方上套打 Ctrl+L,
//                           actionExit 退出 Ctrl+E
//   设置(S)  "menuSettings": actionDrugs 药品维护 Ctrl+J, actionSets 个人组套/中医验方维护 Ctrl+F,
//                           actionDiagnoses 诊断名称维护 Ctrl+I, actionHistoryTemplates 病史模板维护 Ctrl+O,
//                           actionAddresses 地址库维护 Ctrl+M, actionSettings 综合设置 Ctrl+X
//   帮助(H)  "menuHelp":     actionHelp 操作教程 Ctrl+H, actionAbout 关于 Ctrl+Z
// Body menu "bodyMenu" (右键菜单): actionBodyCut 剪切(T), actionBodyCopy 复制(C), actionBodyPaste 粘贴(P),
//   actionBodyDelete 删除(D), actionCopyToCard 复制到注射卡, actionAddToSets 添加到个人组套/中医验方,
//   actionDrip 静脉滴注, actionIntramuscular 肌肉注射, actionIntravenous 静脉推注, actionDripTube 加滴管.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static inline const QString kCaption = QStringLiteral("Qelvaro V4.0");

    explicit MainWindow(AppContext& context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Sheet.
    DrawingSurface* sheet() const { return m_sheet; }
    QWidget* headingFieldBox(HeadingField field) const;
    QLineEdit* headingBox(HeadingField field) const;
    QLabel* headingCaption(HeadingField field) const;
    QLine headingUnderline(HeadingField field) const;  // pixels, in the field box
    BodyTextEdit* body() const { return m_body; }
    QLabel* sheetLabel(SheetLabel label) const { return m_sheetLabels[label]; }
    QLabel* titleLabel() const { return sheetLabel(SheetLabel::Title); }
    QLabel* clinicNameLabel() const { return sheetLabel(SheetLabel::ClinicName); }
    QLabel* kindLabel() const { return sheetLabel(SheetLabel::Kind); }
    // The prescription kind the sheet shows (普通, 中医, 儿科 or a stored record's own).
    const QString& kind() const { return m_kind; }
    bool isHerbal() const;
    ClickLabel* kindArea() const { return m_kindArea; }
    QLabel* recordKeyLabel() const { return m_recordKey; }
    RowList* diagnosisPopup() const { return m_diagnosisPopup; }
    RowList* addressPopup() const { return m_addressPopup; }
    RowList* patientPopup() const { return m_patientPopup; }

    // Drug picker.
    // The button of a category 0..kCategoryCount - 1 (BodyText.h names the special ones).
    QPushButton* categoryButton(int category) const { return m_categoryButtons.at(category); }
    QLineEdit* drugSearchBox() const { return m_drugSearch; }
    RowList* drugList() const { return m_drugList; }

    // Record list.
    QLineEdit* recordNameFilter() const { return m_recordNameFilter; }
    QLineEdit* recordFromDate() const { return m_recordFrom; }
    QLineEdit* recordToDate() const { return m_recordTo; }
    QPushButton* recordQueryButton() const { return m_recordQuery; }
    QListView* recordList() const { return m_recordList; }

    // Right column.
    QLineEdit* templateSearchBox() const { return m_templateSearch; }
    QListWidget* templateList() const { return m_templateList; }
    QPlainTextEdit* historyBox() const { return m_historyBox; }
    DrawingSurface* injectionCardPreview() const { return m_cardPreview; }
    QPlainTextEdit* injectionCardBox() const { return m_injectionCardBox; }
    QLabel* cardCaption(CardCaption caption) const { return m_cardCaptions[caption]; }
    QLineEdit* cardHeaderBox(CardHeader box) const { return m_cardHeader[box]; }

    QLabel* cardButton(CardButton button) const { return m_cardButtons[button]; }

    // Shorthand labels by their caption's index in BodyText.h: the labels of the strip, and the
    // two search captions that share the numbering.
    ClickLabel* shorthandLabel(int index) const { return m_shorthandLabels.at(index); }
    ClickLabel* softKeyboardLink() const { return m_softKeyboardLink; }
    ClickLabel* todayPatientsLink() const { return m_todayPatientsLink; }
    ClickLabel* addTemplateLink() const { return m_addTemplateLink; }

    // The print commands; the composition opens the card windows their buttons ask for.
    PrintCommands* printCommands() const { return m_printCommands; }

    ToolbarButton* toolbarButton(ToolbarCommand command) const;
    QMenu* bodyMenu() const { return m_bodyMenu; }
    QAction* action(Command command) const { return m_actions[command]; }
    // The menu item of that objectName ("actionSave"); null when there is none.
    QAction* menuAction(const QString& objectName) const;
    // The objectName of a command's menu item ("actionSave").
    static QString commandName(Command command);

    // Gives a command its work: enables the menu item (and the toolbar button, when the command
    // has one) and runs handler when either is used. The parts of the editor call this as they
    // come, so a command without its part stays visibly disabled.
    void provideCommand(Command command, std::function<void()> handler);
    // Whether the command has been given its work; a command enabled only now and then (by a
    // selection) asks this before enabling itself.
    bool isProvided(Command command) const { return m_provided[command]; }

    // The prescription the window shows, as a save stores it: the one reader of the open
    // prescription for the commands, the printouts and the card windows.
    Prescription prescription() const;

    // 保存: stores the prescription in the editor under its key. False when nothing was stored
    // (the doctor has been told why), so a caller that goes on to write the same row can stop.
    bool save();

    // True while a stored record or a known patient is being copied into the editor: the change
    // handlers of the heading fields and the body skip their look-ups and rebuilds meanwhile.
    bool isFilling() const { return m_filling > 0; }
    class FillingScope {
    public:
        explicit FillingScope(MainWindow& window) : m_window(window) { ++m_window.m_filling; }
        ~FillingScope() { --m_window.m_filling; }
        FillingScope(const FillingScope&) = delete;
        FillingScope& operator=(const FillingScope&) = delete;

    private:
        MainWindow& m_window;
    };

public slots:
    // Sets the prescription kind; a known kind (普通, 中医, 儿科) brings its sheet title with it,
    // any other kind leaves the title as it is.
    void setKind(const QString& kind);
    // The clinic name as typed in the settings, blanks trimmed, centred on the sheet.
    void setClinicName(const QString& typed);
    // Hides the three look-up popups of the heading fields.
    void hidePopups();

signals:
    void exitRequested();
    void settingsRequested();
    void aboutRequested();
    void closeRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSheet(QWidget* central);
    void buildToolbar(QWidget* central);
    void buildDrugPicker(QWidget* central);
    void buildRecordList(QWidget* central);
    void buildRightColumn(QWidget* central);
    void buildShorthandStrip(QWidget* central);
    void buildMenus();
    void buildBodyMenu();
    void setTabOrderOfFields();

    void cycleKind();
    void centreOnSheet(QLabel* label);
    void runToolbarCommand(ToolbarCommand command);
    void copyBodyToClipboard();
    void pasteClipboardIntoBody();
    void openHelpPage();
    void readClinicName();
    bool isWindowShortcut(const QKeySequence& keys) const;

    AppContext& m_context;
    bool m_centred = false;
    QString m_kind;
    int m_filling = 0;
    EnumArray<ToolbarCommand, std::function<void()>> m_toolbarHandlers;

    DrawingSurface* m_sheet = nullptr;
    std::array<DrawingSurface*, kHeadingFieldCount> m_headingBoxes{};
    std::array<QLabel*, kHeadingFieldCount> m_headingCaptions{};
    std::array<QLineEdit*, kHeadingFieldCount> m_headingInputs{};
    EnumArray<SheetLabel, QLabel*> m_sheetLabels;
    BodyTextEdit* m_body = nullptr;
    ClickLabel* m_kindArea = nullptr;
    RowList* m_diagnosisPopup = nullptr;
    RowList* m_addressPopup = nullptr;
    RowList* m_patientPopup = nullptr;
    QLabel* m_recordKey = nullptr;

    EnumArray<ToolbarCommand, ToolbarButton*> m_toolbarButtons;

    std::array<QPushButton*, kCategoryCount> m_categoryButtons{};
    QLineEdit* m_drugSearch = nullptr;
    ClickLabel* m_softKeyboardLink = nullptr;
    RowList* m_drugList = nullptr;

    QLineEdit* m_recordNameFilter = nullptr;
    QLineEdit* m_recordFrom = nullptr;
    QLineEdit* m_recordTo = nullptr;
    QPushButton* m_recordQuery = nullptr;
    ClickLabel* m_todayPatientsLink = nullptr;
    QListView* m_recordList = nullptr;

    QLineEdit* m_templateSearch = nullptr;
    QListWidget* m_templateList = nullptr;
    QPlainTextEdit* m_historyBox = nullptr;
    DrawingSurface* m_cardPreview = nullptr;
    QPlainTextEdit* m_injectionCardBox = nullptr;
    EnumArray<CardCaption, QLabel*> m_cardCaptions;
    EnumArray<CardHeader, QLineEdit*> m_cardHeader;
    EnumArray<CardButton, QLabel*> m_cardButtons;
    ClickLabel* m_addTemplateLink = nullptr;
    std::array<ClickLabel*, kShorthandLabelCount> m_shorthandLabels{};

    QList<QAction*> m_menuActions;  // every menu item with a shortcut
    EnumArray<Command, QAction*> m_actions;
    EnumArray<Command, bool> m_provided;
    QMenu* m_bodyMenu = nullptr;
    RecordCommands* m_recordCommands = nullptr;
    PrintCommands* m_printCommands = nullptr;
    std::vector<QObject*> m_parts;  // the editor's parts, deleted before the widgets they watch
};

}  // namespace qelvaro
