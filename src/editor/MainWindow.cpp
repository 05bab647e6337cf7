#include "MainWindow.h"

#include "AppContext.h"
#include "BodyCommands.h"
#include "ClickLabel.h"
#include "DataStore.h"
#include "DrawingSurface.h"
#include "DrugPicker.h"
#include "HelpPage.h"
#include "MessageSink.h"
#include "PatientFields.h"
#include "PrintCommands.h"
#include "RecordCommands.h"
#include "SettingsCopy.h"
#include "TextRules.h"
#include "ToolbarButton.h"
#include "Twips.h"
#include "UrlOpener.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace qelvaro {
namespace {

constexpr int kClientWidth = 15255;
constexpr int kClientHeight = 10215;
constexpr int kSheetWidth = 6293;
constexpr int kSheetHeight = 8970;
constexpr int kFieldBoxHeight = 315;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

QString fromUtf8(const char* text) { return QString::fromUtf8(text); }

QFont namedFont(const char* family, double points, bool bold = false)
{
    QFont font(fromUtf8(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct FieldLayout {
    int maxLength;
    int left;
    int top;
    int width;
    bool red;
    bool shown;
};

// One row per heading field, in HeadingField order; the caption is the field's name and a colon.
const std::array<FieldLayout, kHeadingFieldCount> kFields{{
    {5, 480, 1500, 1635, false, true},
    {1, 2160, 1500, 975, false, true},
    {4, 3180, 1500, 1335, false, true},
    {5, 4560, 1500, 1215, false, true},
    {20, 480, 1800, 4035, false, true},
    {4, 4560, 1800, 1215, false, true},
    {20, 480, 2100, 3435, false, true},
    {20, 60, 540, 1755, false, false},
    {20, 480, 2400, 3435, false, true},
    {20, 3960, 2100, 1815, false, true},
    {5, 4140, 7800, 1635, false, true},
    {5, 4140, 8100, 1635, false, true},
    {5, 4140, 8400, 1635, false, true},
    {10, 600, 7920, 1635, false, true},
    {10, 600, 8220, 1635, false, true},
    {20, 3960, 2400, 1815, true, true},
    {20, 120, 240, 3495, false, false},
}};

// The shown fields in tab order first, then the hidden ones where their turn would be, then the
// footer fields.
constexpr std::array<HeadingField, kHeadingFieldCount> kFieldTabOrder{
    HeadingField::Name,       HeadingField::Sex,       HeadingField::Age,         HeadingField::FeeClass,
    HeadingField::CardNumber, HeadingField::Department, HeadingField::Address,    HeadingField::Date,
    HeadingField::Diagnosis,  HeadingField::Allergy,   HeadingField::PastHistory, HeadingField::Telephone,
    HeadingField::Doctor,     HeadingField::Dispenser, HeadingField::Reviewer,    HeadingField::DrugFee,
    HeadingField::OtherFee};

struct SheetLabelLayout {
    SheetLabel label;
    const char* text;
    const char* family;
    double points;
    bool bold;
    int left;
    int top;
};

constexpr std::array<SheetLabelLayout, kSheetLabelCount> kSheetLabels{{
    {SheetLabel::Title, "普通处方笺", "黑体", 12, false, 2460, 960},
    {SheetLabel::Rp, "Rp", "宋体", 18, true, 600, 2760},
    {SheetLabel::ClinicName, "", "黑体", 12, false, 2100, 600},
    {SheetLabel::Kind, "普通", "宋体", 10.5, true, 5220, 660},
    {SheetLabel::KindSuffix, "处方", "宋体", 10.5, true, 5220, 900},
    {SheetLabel::Fee, "收费", "宋体", 10.5, false, 3000, 7980},
    {SheetLabel::Stamp, "盖章", "宋体", 10.5, false, 3000, 8280},
    {SheetLabel::BodyLimit, "处方正文请勿写过此线", "宋体", 7.5, false, 2460, 7605},
}};
static_assert(oneRowPerValue(kSheetLabels, &SheetLabelLayout::label), "kSheetLabels is indexed by SheetLabel");

struct RuleLayout {
    int x1, y1, x2, y2, width;
};

const std::array<RuleLayout, 10> kSheetRules{{
    {540, 7680, 2400, 7680, 1},
    {4020, 7680, 5760, 7680, 1},
    {5100, 600, 5760, 600, 2},
    {540, 7860, 2280, 7860, 1},
    {540, 7860, 540, 8580, 1},
    {5100, 600, 5100, 1140, 2},
    {2280, 7860, 2280, 8580, 1},
    {540, 8580, 2280, 8580, 1},
    {5760, 615, 5760, 1140, 2},
    {5115, 1140, 5730, 1140, 2},
}};

struct KindTitle {
    const char* kind;
    const char* title;
};
const std::array<KindTitle, 3> kKinds{{{"普通", "普通处方笺"}, {"中医", "中医处方笺"}, {"儿科", "儿科处方笺"}}};

struct ToolbarLayout {
    ToolbarCommand command;
    const char* caption;
    const char* objectName;
    int left;
};

constexpr std::array<ToolbarLayout, kToolbarCommandCount> kToolbar{{
    {ToolbarCommand::New, "新建", "toolbarNew", 60},
    {ToolbarCommand::Renew, "续开", "toolbarRenew", 1200},
    {ToolbarCommand::Save, "保存", "toolbarSave", 2340},
    {ToolbarCommand::Print, "打印", "toolbarPrint", 3540},
    {ToolbarCommand::Copy, "复制", "toolbarCopy", 4740},
    {ToolbarCommand::Paste, "粘贴", "toolbarPaste", 5940},
    {ToolbarCommand::Log, "日志", "toolbarLog", 7140},
    {ToolbarCommand::Statistics, "统计", "toolbarStatistics", 8340},
    {ToolbarCommand::OverlayPrint, "套打", "toolbarOverlayPrint", 9540},
    {ToolbarCommand::Help, "帮助", "toolbarHelp", 11940},
}};
static_assert(oneRowPerValue(kToolbar, &ToolbarLayout::command), "kToolbar is indexed by ToolbarCommand");

// Each command's menu item and, where it has one, the toolbar button that runs it too.
struct CommandLayout {
    Command command;
    const char* objectName;
    std::optional<ToolbarCommand> button;
};

constexpr std::array<CommandLayout, kCommandCount> kCommands{{
    {Command::New, "actionNew", ToolbarCommand::New},
    {Command::Renew, "actionRenew", ToolbarCommand::Renew},
    {Command::Save, "actionSave", ToolbarCommand::Save},
    {Command::Statistics, "actionStatistics", ToolbarCommand::Statistics},
    {Command::OutpatientLog, "actionOutpatientLog", ToolbarCommand::Log},
    {Command::Print, "actionPrint", ToolbarCommand::Print},
    {Command::OverlayPrint, "actionOverlayPrint", ToolbarCommand::OverlayPrint},
    {Command::Exit, "actionExit", std::nullopt},
    {Command::Drugs, "actionDrugs", std::nullopt},
    {Command::Sets, "actionSets", std::nullopt},
    {Command::Diagnoses, "actionDiagnoses", std::nullopt},
    {Command::HistoryTemplates, "actionHistoryTemplates", std::nullopt},
    {Command::Addresses, "actionAddresses", std::nullopt},
    {Command::Settings, "actionSettings", std::nullopt},
    // The toolbar's 帮助 opens the help page itself, as 复制 and 粘贴 do their own work.
    {Command::Help, "actionHelp", std::nullopt},
    {Command::About, "actionAbout", std::nullopt},
    {Command::BodyCut, "actionBodyCut", std::nullopt},
    {Command::BodyCopy, "actionBodyCopy", std::nullopt},
    {Command::BodyPaste, "actionBodyPaste", std::nullopt},
    {Command::BodyDelete, "actionBodyDelete", std::nullopt},
    {Command::CopyToCard, "actionCopyToCard", std::nullopt},
    {Command::AddToSets, "actionAddToSets", std::nullopt},
    {Command::Drip, "actionDrip", std::nullopt},
    {Command::Intramuscular, "actionIntramuscular", std::nullopt},
    {Command::Intravenous, "actionIntravenous", std::nullopt},
    {Command::DripTube, "actionDripTube", std::nullopt},
}};

static_assert(oneRowPerValue(kCommands, &CommandLayout::command), "kCommands is indexed by Command");

const CommandLayout& commandLayout(Command command) { return kCommands.at(size_t(command)); }

struct CategoryLayout {
    const char* caption;
    int row;
    int left;
    int width;
};

const std::array<CategoryLayout, kCategoryCount> kCategories{{
    {"抗生素", 0, 60, 855},
    {"输液", 0, 960, 735},
    {"心血管", 0, 1740, 795},
    {"呼吸", 0, 2580, 855},
    {"消化", 1, 60, 735},
    {"神经", 1, 840, 735},
    {"内分泌", 1, 1620, 795},
    {"解热镇痛", 1, 2460, 975},
    {"维生素激素", 2, 60, 1155},
    {"外用", 2, 2100, 615},
    {"中成药", 2, 1260, 795},
    {"其他", 2, 2760, 675},
    {"中药", 3, 60, 855},
    {"个人组套", 3, 2220, 1215},
    {"中医验方", 3, 960, 1215},
}};
constexpr std::array<int, 4> kCategoryRowTops{240, 600, 960, 1320};

struct CardPlace {
    int left, top, width, height;
};

struct CardCaptionLayout {
    CardCaption caption;
    const char* text;
    CardPlace place;
};

constexpr std::array<CardCaptionLayout, kCardCaptionCount> kCardCaptions{{
    {CardCaption::Title, "门诊注射卡", {1860, 120, 1200, 240}},
    {CardCaption::Name, "姓名：", {180, 540, 540, 180}},
    {CardCaption::Age, "年龄：", {2280, 540, 540, 180}},
    {CardCaption::Sex, "性别：", {1500, 540, 540, 180}},
    {CardCaption::Date, "日期：", {3180, 540, 540, 180}},
    {CardCaption::Nurse, "护士：", {1500, 3060, 540, 180}},
    {CardCaption::Doctor, "医生：", {180, 3060, 540, 180}},
}};
static_assert(oneRowPerValue(kCardCaptions, &CardCaptionLayout::caption), "kCardCaptions is indexed by CardCaption");

struct CardHeaderLayout {
    CardHeader box;
    CardPlace place;
};

constexpr std::array<CardHeaderLayout, kCardHeaderCount> kCardHeader{{
    {CardHeader::Name, {720, 540, 735, 270}},
    {CardHeader::Sex, {1980, 540, 255, 285}},
    {CardHeader::Age, {2760, 540, 375, 270}},
    {CardHeader::Date, {3720, 540, 975, 270}},
    {CardHeader::Doctor, {720, 3060, 735, 270}},
}};
static_assert(oneRowPerValue(kCardHeader, &CardHeaderLayout::box), "kCardHeader is indexed by CardHeader");

const std::array<RuleLayout, 3> kCardRules{{
    {180, 420, 4680, 420, 1},
    {180, 840, 4680, 840, 1},
    {180, 2940, 4680, 2940, 1},
}};

struct CardButtonLayout {
    CardButton button;
    const char* caption;
    int left;
    int top;
    bool shown;
};

constexpr std::array<CardButtonLayout, kCardButtonCount> kCardButtons{{
    {CardButton::HiddenHistory, "打印病史", 2640, 4830, false},
    {CardButton::History, "打印病史", 3900, 4830, true},
    {CardButton::InjectionCard, "打印注射卡", 2640, 8670, true},
    {CardButton::InfusionCard, "输液执行卡", 3900, 8670, true},
}};
static_assert(oneRowPerValue(kCardButtons, &CardButtonLayout::button), "kCardButtons is indexed by CardButton");

QGroupBox* makeFrame(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(fromUtf8(objectName));
    frame->setGeometry(geometry);
    return frame;
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QString& objectName, const QPoint& pos)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->adjustSize();
    label->move(pos);
    return label;
}

ClickLabel* makeLink(QWidget* parent, const QString& text, const QString& objectName, const QPoint& pos)
{
    auto* label = new ClickLabel(text, parent);
    label->setObjectName(objectName);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kBlue);
    label->setPalette(pal);
    label->adjustSize();
    label->move(pos);
    return label;
}

QLineEdit* makeLineEdit(QWidget* parent, const QString& objectName, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setGeometry(geometry);
    return edit;
}

QListWidget* makeList(QWidget* parent, const QString& objectName, const QRect& geometry)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setGeometry(geometry);
    return list;
}

// The look-ups' models are set by the fields that fill them.
RowList* makePopup(QWidget* parent, const QString& objectName, const QRect& geometry)
{
    auto* list = new RowList(parent);
    list->setObjectName(objectName);
    list->setGeometry(geometry);
    // A look-up can list nearly every patient: a list of that length shows its first items at once
    // and lays out the rest between events, so typing never waits for it.
    list->setLayoutMode(QListView::Batched);
    list->setBatchSize(10000);
    QPalette pal = list->palette();
    pal.setColor(QPalette::Text, kBlue);
    pal.setColor(QPalette::Base, Qt::white);
    list->setPalette(pal);
    list->hide();
    return list;
}

QString kindTitle(const QString& kind)
{
    for (const KindTitle& k : kKinds)
        if (kind == fromUtf8(k.kind))
            return fromUtf8(k.title);
    return {};
}

}  // namespace

MainWindow::MainWindow(AppContext& context, QWidget* parent) : QMainWindow(parent), m_context(context)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(kCaption);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("mainClientArea"));
    central->setFont(namedFont("宋体", 9));
    central->setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    setCentralWidget(central);

    // The sheet comes first so that its heading fields are the window's first tab stops.
    buildSheet(central);
    buildToolbar(central);
    buildDrugPicker(central);
    buildRecordList(central);
    buildRightColumn(central);
    buildShorthandStrip(central);
    buildMenus();
    buildBodyMenu();
    setTabOrderOfFields();

    m_recordKey = new QLabel(central);
    m_recordKey->setObjectName(QStringLiteral("recordKeyLabel"));
    m_recordKey->hide();

    readClinicName();
    centreOnSheet(titleLabel());
    centreOnSheet(clinicNameLabel());

    m_parts.push_back(new DrugPicker(*this, context.store.settings(), &context.searchIndexes));
    m_parts.push_back(new BodyCommands(*this));
    m_printCommands = new PrintCommands(*this, context);
    m_parts.push_back(m_printCommands);
    m_parts.push_back(new PatientFields(*this, context));
    // Last: its start-up lists the records and begins a new prescription through the parts above.
    m_recordCommands = new RecordCommands(*this, context);
    m_parts.push_back(m_recordCommands);

    layout()->setSizeConstraint(QLayout::SetFixedSize);
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    if (qApp)
        qApp->removeEventFilter(this);
    // The parts of the editor watch the window's widgets: they go first, while the window is whole.
    m_recordCommands = nullptr;
    m_printCommands = nullptr;
    while (!m_parts.empty()) {
        delete m_parts.back();
        m_parts.pop_back();
    }
}

void MainWindow::buildSheet(QWidget* central)
{
    m_sheet = new DrawingSurface(central);
    m_sheet->setObjectName(QStringLiteral("sheet"));
    m_sheet->setGeometry(twipsRect(3660, 810, kSheetWidth, kSheetHeight));
    connect(m_sheet, &DrawingSurface::backgroundClicked, this, &MainWindow::hidePopups);

    const QFont captionFont = namedFont("宋体", 9, true);
    const QFont inputFont = namedFont("宋体", 9.75);
    for (int i = 0; i < kHeadingFieldCount; ++i) {
        const FieldLayout& f = kFields[i];
        auto* box = new DrawingSurface(m_sheet);
        box->setObjectName(QStringLiteral("headingFieldBox%1").arg(i));
        box->setGeometry(twipsRect(f.left, f.top, f.width, kFieldBoxHeight));

        auto* caption = new QLabel(headingFieldName(i) + u'：', box);
        caption->setObjectName(QStringLiteral("headingCaption%1").arg(i));
        caption->setFont(captionFont);
        caption->adjustSize();
        caption->move(twipsPoint(60, 60));

        auto* input = new QLineEdit(box);
        input->setObjectName(QStringLiteral("headingField%1").arg(i));
        input->setFrame(false);
        input->setFont(i == int(HeadingField::CardNumber) ? namedFont("宋体", 10.5) : inputFont);
        input->setValidator(new TypingLimit(f.maxLength, input));
        input->setTextMargins(0, 0, 0, 0);
        QPalette pal = input->palette();
        pal.setColor(QPalette::Text, f.red ? kRed : kBlue);
        pal.setColor(QPalette::Base, Qt::transparent);  // the box's underline shows through
        input->setPalette(pal);

        // Input box and underline follow from the caption's width, whatever the box's design size.
        const int captionWidth = pixelsToTwips(caption->width());
        const int inputLeft = captionWidth + 75;
        const int inputWidth = f.width - captionWidth - 135;
        constexpr int inputTop = 30;
        constexpr int underlineY = 240;
        input->setGeometry(twipsRect(inputLeft, inputTop, inputWidth, kFieldBoxHeight - inputTop - 45));
        box->addRule(twipsLine(inputLeft - 60, underlineY, inputLeft + inputWidth + 60, underlineY));

        box->setVisible(f.shown);
        m_headingBoxes[i] = box;
        m_headingCaptions[i] = caption;
        m_headingInputs[i] = input;
    }

    for (const SheetLabelLayout& l : kSheetLabels) {
        auto* label = new QLabel(fromUtf8(l.text), m_sheet);
        label->setObjectName(QStringLiteral("sheetLabel%1").arg(int(l.label)));
        label->setFont(namedFont(l.family, l.points, l.bold));
        label->adjustSize();
        label->move(twipsPoint(l.left, l.top));
        m_sheetLabels[l.label] = label;
    }
    titleLabel()->setObjectName(QStringLiteral("titleLabel"));
    clinicNameLabel()->setObjectName(QStringLiteral("clinicNameLabel"));
    kindLabel()->setObjectName(QStringLiteral("kindLabel"));
    m_kind = kindLabel()->text();  // the sheet's first kind

    for (const RuleLayout& r : kSheetRules)
        m_sheet->addRule(twipsLine(r.x1, r.y1, r.x2, r.y2), r.width);

    m_body = new BodyTextEdit(m_sheet);
    m_body->setObjectName(QStringLiteral("body"));
    m_body->setFrameShape(QFrame::NoFrame);
    m_body->setFont(namedFont("宋体", 10.5));
    m_body->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_body->setGeometry(twipsRect(1440, 3120, 4275, 4335));
    m_body->viewport()->installEventFilter(this);
    connect(m_body, &BodyTextEdit::contextMenuRequested, this, [this](const QPoint& pos) { m_bodyMenu->popup(pos); });

    m_kindArea = new ClickLabel(QString(), m_sheet);
    m_kindArea->setObjectName(QStringLiteral("kindArea"));
    m_kindArea->setGeometry(twipsRect(5100, 600, 675, 555));
    m_kindArea->setCursor(Qt::PointingHandCursor);
    m_kindArea->raise();
    connect(m_kindArea, &ClickLabel::clicked, this, &MainWindow::cycleKind);

    m_patientPopup = makePopup(m_sheet, QStringLiteral("patientPopup"), twipsRect(1080, 1740, 1395, 1290));
    m_addressPopup = makePopup(m_sheet, QStringLiteral("addressPopup"), twipsRect(1680, 2340, 2835, 1290));
    m_diagnosisPopup = makePopup(m_sheet, QStringLiteral("diagnosisPopup"), twipsRect(1080, 2640, 2835, 1290));
}

void MainWindow::buildToolbar(QWidget* central)
{
    // The strip reaches above the client area, so its buttons stand clear of the frames below.
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("toolbarStrip"));
    strip->setGeometry(twipsRect(60, -120, 15135, 795));
    for (const ToolbarLayout& t : kToolbar) {
        auto* button = new ToolbarButton(toolbarIcon(t.command), fromUtf8(t.caption), strip);
        button->setObjectName(fromUtf8(t.objectName));
        button->move(twipsPoint(t.left, 180));
        const ToolbarCommand command = t.command;
        connect(button, &ToolbarButton::activated, this, [this, command] { runToolbarCommand(command); });
        m_toolbarButtons[t.command] = button;
    }
    for (ToolbarCommand later : {ToolbarCommand::New, ToolbarCommand::Renew, ToolbarCommand::Save, ToolbarCommand::Print,
                                 ToolbarCommand::Log, ToolbarCommand::Statistics, ToolbarCommand::OverlayPrint})
        toolbarButton(later)->setEnabled(false);
}

void MainWindow::buildDrugPicker(QWidget* central)
{
    QGroupBox* frame = makeFrame(central, "drugPicker", twipsRect(60, 658, 3555, 6255));
    for (int i = 0; i < int(kCategories.size()); ++i) {
        const CategoryLayout& c = kCategories[i];
        auto* button = new QPushButton(fromUtf8(c.caption), frame);
        button->setObjectName(QStringLiteral("categoryButton%1").arg(i));
        button->setFont(namedFont("宋体", 9, i == 0));
        button->setGeometry(twipsRect(c.left, kCategoryRowTops[c.row], c.width, 300));
        m_categoryButtons[i] = button;
    }
    auto* caption = makeLink(frame, shorthandCaption(kDrugSearchCaption),
                             QStringLiteral("shorthandLabel%1").arg(kDrugSearchCaption), twipsPoint(120, 1740));
    caption->setPalette(frame->palette());
    m_shorthandLabels[kDrugSearchCaption] = caption;
    m_drugSearch = makeLineEdit(frame, QStringLiteral("drugSearchBox"), twipsRect(1200, 1680, 1455, 315));
    m_softKeyboardLink = makeLink(frame, QStringLiteral("软键盘"), QStringLiteral("softKeyboardLink"), twipsPoint(2820, 1760));
    // Its model is set by the drug picker that fills it.
    m_drugList = new RowList(frame);
    m_drugList->setObjectName(QStringLiteral("drugList"));
    m_drugList->setGeometry(twipsRect(90, 2100, 3345, 4020));
}

void MainWindow::buildRecordList(QWidget* central)
{
    QGroupBox* frame = makeFrame(central, "recordListFrame", twipsRect(60, 6900, 3555, 3315));
    makeLabel(frame, QStringLiteral("患者姓名"), QStringLiteral("recordNameCaption"), twipsPoint(120, 300));
    m_recordNameFilter = makeLineEdit(frame, QStringLiteral("recordNameFilter"), twipsRect(900, 240, 1035, 315));
    // Names are at most 50 characters; a longer filter could only find nothing.
    m_recordNameFilter->setValidator(new TypingLimit(50, m_recordNameFilter));
    m_recordQuery = new QPushButton(QStringLiteral("查询"), frame);
    m_recordQuery->setObjectName(QStringLiteral("recordQueryButton"));
    m_recordQuery->setGeometry(twipsRect(1995, 225, 615, 345));
    m_todayPatientsLink = makeLink(frame, QStringLiteral("今日患者"), QStringLiteral("todayPatientsLink"), twipsPoint(2700, 300));
    makeLabel(frame, QStringLiteral("就诊日期"), QStringLiteral("recordDateCaption"), twipsPoint(120, 660));
    m_recordFrom = makeLineEdit(frame, QStringLiteral("recordFromDate"), twipsRect(900, 600, 1095, 315));
    makeLabel(frame, QStringLiteral("至"), QStringLiteral("recordDateTo"), twipsPoint(2055, 660));
    m_recordTo = makeLineEdit(frame, QStringLiteral("recordToDate"), twipsRect(2280, 600, 1095, 315));
    // A view over a model of row ids: a list of any length shows at once.
    m_recordList = new QListView(frame);
    m_recordList->setObjectName(QStringLiteral("recordList"));
    m_recordList->setGeometry(twipsRect(90, 1020, 3375, 2190));
    m_recordList->setUniformItemSizes(true);
    m_recordList->setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void MainWindow::buildRightColumn(QWidget* central)
{
    QGroupBox* frame = makeFrame(central, "rightColumn", twipsRect(10020, 720, 5175, 9075));

    auto* caption = makeLink(frame, shorthandCaption(kTemplateSearchCaption),
                             QStringLiteral("shorthandLabel%1").arg(kTemplateSearchCaption), twipsPoint(120, 240));
    caption->setPalette(frame->palette());
    m_shorthandLabels[kTemplateSearchCaption] = caption;
    m_templateSearch = makeLineEdit(frame, QStringLiteral("templateSearchBox"), twipsRect(120, 480, 1575, 315));
    m_templateList = makeList(frame, QStringLiteral("templateList"), twipsRect(120, 840, 1575, 3900));

    makeLabel(frame, QStringLiteral("病史记录"), QStringLiteral("historyCaption"), twipsPoint(1800, 240));
    m_addTemplateLink = makeLink(frame, QStringLiteral("添加到模板"), QStringLiteral("addTemplateLink"), twipsPoint(4080, 240));
    m_historyBox = new MultiLineBox(frame);
    m_historyBox->setObjectName(QStringLiteral("historyBox"));
    m_historyBox->setGeometry(twipsRect(1800, 480, 3255, 4260));
    m_historyBox->viewport()->installEventFilter(this);

    m_cardPreview = new DrawingSurface(frame);
    m_cardPreview->setObjectName(QStringLiteral("injectionCardPreview"));
    m_cardPreview->setBorder(true);
    m_cardPreview->setGeometry(twipsRect(105, 5220, 4965, 3345));
    connect(m_cardPreview, &DrawingSurface::backgroundClicked, this, &MainWindow::hidePopups);
    // Captions and values show their text from the top-left corner of their place, as the card
    // prints them, so a caption and its value share a baseline and a value is never scrolled.
    // Their face is small enough that a three-character caption ends before its value begins
    // (480 twips apart) and an age such as "35岁" fits its 375-twip box.
    const QFont headingFont = namedFont("宋体", 7.5);
    for (const CardCaptionLayout& c : kCardCaptions) {
        auto* label = new QLabel(fromUtf8(c.text), m_cardPreview);
        label->setObjectName(QStringLiteral("cardCaption%1").arg(int(c.caption)));
        label->setFont(c.caption == CardCaption::Title ? namedFont("黑体", 12) : headingFont);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QRect place = twipsRect(c.place.left, c.place.top, c.place.width, c.place.height);
        place.setHeight(std::max(place.height(), label->fontMetrics().height()));
        label->setGeometry(place);
        m_cardCaptions[c.caption] = label;
    }
    for (const CardHeaderLayout& c : kCardHeader) {
        QLineEdit* box = makeLineEdit(m_cardPreview, QStringLiteral("cardHeaderBox%1").arg(int(c.box)),
                                      twipsRect(c.place.left, c.place.top, c.place.width, c.place.height));
        box->setFrame(false);
        box->setFont(headingFont);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // A line box keeps 2 pixels left and 1 above its text; these margins take them back.
        box->setTextMargins(-2, -1, 0, 0);
        m_cardHeader[c.box] = box;
    }
    m_injectionCardBox = new MultiLineBox(m_cardPreview);
    m_injectionCardBox->setObjectName(QStringLiteral("injectionCardBox"));
    m_injectionCardBox->setFrameShape(QFrame::NoFrame);
    m_injectionCardBox->setGeometry(twipsRect(1020, 1020, 3675, 1755));
    for (const RuleLayout& r : kCardRules)
        m_cardPreview->addRule(twipsLine(r.x1, r.y1, r.x2, r.y2), r.width);

    for (const CardButtonLayout& b : kCardButtons) {
        auto* button = new QLabel(fromUtf8(b.caption), frame);
        button->setObjectName(QStringLiteral("cardButton%1").arg(int(b.button)));
        button->setAlignment(Qt::AlignCenter);
        button->setFrameStyle(QFrame::Panel | QFrame::Raised);
        button->setAutoFillBackground(true);
        button->setBackgroundRole(QPalette::Button);
        button->setGeometry(twipsRect(b.left, b.top, 1125, 315));
        button->setVisible(b.shown);
        m_cardButtons[b.button] = button;
    }
}

void MainWindow::buildShorthandStrip(QWidget* central)
{
    auto* strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("shorthandStrip"));
    strip->setGeometry(twipsRect(3660, 9840, 11535, 375));
    QList<ClickLabel*> labels;
    int textWidth = 0;
    for (int i = 0; i < kShorthandLabelCount; ++i) {
        if (!isShorthandInsert(i))
            continue;
        auto* label = makeLink(strip, shorthandCaption(i), QStringLiteral("shorthandLabel%1").arg(i), QPoint());
        textWidth += label->width();
        labels.append(label);
        m_shorthandLabels[i] = label;
    }
    // The labels stand 120 twips apart; where the face makes them too wide for the strip, the gaps
    // shrink evenly so the last label still shows whole.
    const int margin = twipsToPixels(60);
    const int gaps = int(labels.size()) - 1;
    const int gap = std::clamp((strip->width() - 2 * margin - textWidth) / std::max(gaps, 1), 1, twipsToPixels(120));
    int x = margin;
    for (ClickLabel* label : labels) {
        label->move(x, (strip->height() - label->height()) / 2);
        x += label->width() + gap;
    }
}

void MainWindow::buildMenus()
{
    struct Item {
        std::optional<Command> command;  // none for a separator
        const char* caption;
        QKeyCombination keys;
    };
    const Item separator{std::nullopt, "", {}};
    const auto ctrl = [](Qt::Key key) { return QKeyCombination(Qt::ControlModifier, key); };
    const auto addMenu = [this](const char* objectName, const char* title, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(fromUtf8(title));
        menu->setObjectName(fromUtf8(objectName));
        for (const Item& item : items) {
            if (!item.command) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(fromUtf8(item.caption));
            action->setObjectName(commandName(*item.command));
            action->setShortcut(QKeySequence(item.keys));
            action->setEnabled(false);
            addAction(action);
            m_menuActions << action;
            m_actions[*item.command] = action;
        }
    };
    menuBar()->setObjectName(QStringLiteral("menuBar"));
    addMenu("menuFile", "文件(F)",
            {{Command::New, "新建", ctrl(Qt::Key_N)},
             {Command::Renew, "续开", ctrl(Qt::Key_W)},
             {Command::Save, "保存", ctrl(Qt::Key_S)},
             separator,
             {Command::Statistics, "统计", ctrl(Qt::Key_D)},
             {Command::OutpatientLog, "门诊日志", ctrl(Qt::Key_G)},
             separator,
             {Command::Print, "打印", ctrl(Qt::Key_P)},
             {Command::OverlayPrint, "在印刷处方上套打", ctrl(Qt::Key_L)},
             separator,
             {Command::Exit, "退出", ctrl(Qt::Key_E)}});
    addMenu("menuSettings", "设置(S)",
            {{Command::Drugs, "药品维护", ctrl(Qt::Key_J)},
             {Command::Sets, "个人组套/中医验方维护", ctrl(Qt::Key_F)},
             {Command::Diagnoses, "诊断名称维护", ctrl(Qt::Key_I)},
             {Command::HistoryTemplates, "病史模板维护", ctrl(Qt::Key_O)},
             {Command::Addresses, "地址库维护", ctrl(Qt::Key_M)},
             separator,
             {Command::Settings, "综合设置", ctrl(Qt::Key_X)}});
    addMenu("menuHelp", "帮助(H)", {{Command::Help, "操作教程", ctrl(Qt::Key_H)}, {Command::About, "关于", ctrl(Qt::Key_Z)}});

    provideCommand(Command::Exit, [this] { emit exitRequested(); });
    provideCommand(Command::Settings, [this] { emit settingsRequested(); });
    provideCommand(Command::Help, [this] { openHelpPage(); });
    provideCommand(Command::About, [this] { emit aboutRequested(); });
}

void MainWindow::buildBodyMenu()
{
    m_bodyMenu = new QMenu(QStringLiteral("右键菜单"), this);
    m_bodyMenu->setObjectName(QStringLiteral("bodyMenu"));
    const std::initializer_list<std::pair<std::optional<Command>, const char*>> items{
        {Command::BodyCut, "剪切(T)"},
        {Command::BodyCopy, "复制(C)"},
        {Command::BodyPaste, "粘贴(P)"},
        {Command::BodyDelete, "删除(D)"},
        {std::nullopt, ""},
        {Command::CopyToCard, "复制到注射卡"},
        {Command::AddToSets, "添加到个人组套/中医验方"},
        {std::nullopt, ""},
        {Command::Drip, "静脉滴注"},
        {Command::Intramuscular, "肌肉注射"},
        {Command::Intravenous, "静脉推注"},
        {Command::DripTube, "加滴管"}};
    for (const auto& [command, caption] : items) {
        if (!command) {
            m_bodyMenu->addSeparator();
            continue;
        }
        QAction* action = m_bodyMenu->addAction(fromUtf8(caption));
        action->setObjectName(commandName(*command));
        action->setEnabled(false);
        m_actions[*command] = action;
    }
}

void MainWindow::setTabOrderOfFields()
{
    for (int i = 1; i < kHeadingFieldCount; ++i)
        setTabOrder(headingBox(kFieldTabOrder[i - 1]), headingBox(kFieldTabOrder[i]));
}

QWidget* MainWindow::headingFieldBox(HeadingField field) const { return m_headingBoxes.at(int(field)); }
QLineEdit* MainWindow::headingBox(HeadingField field) const { return m_headingInputs.at(int(field)); }
QLabel* MainWindow::headingCaption(HeadingField field) const { return m_headingCaptions.at(int(field)); }

QLine MainWindow::headingUnderline(HeadingField field) const
{
    return m_headingBoxes.at(int(field))->rules().value(0).line;
}

ToolbarButton* MainWindow::toolbarButton(ToolbarCommand command) const { return m_toolbarButtons[command]; }

void MainWindow::setKind(const QString& kind)
{
    m_kind = kind;
    kindLabel()->setText(kind);
    kindLabel()->adjustSize();
    const QString title = kindTitle(kind);
    if (!title.isEmpty()) {
        titleLabel()->setText(title);
        titleLabel()->adjustSize();
    }
}

bool MainWindow::isHerbal() const { return m_kind == u"中医"; }

void MainWindow::cycleKind()
{
    const QString kind = m_kind;
    for (int i = 0; i < int(kKinds.size()); ++i) {
        if (kind == fromUtf8(kKinds[i].kind)) {
            setKind(fromUtf8(kKinds[(i + 1) % kKinds.size()].kind));
            return;
        }
    }
}

void MainWindow::setClinicName(const QString& typed)
{
    clinicNameLabel()->setText(trimBlanks(typed));
    clinicNameLabel()->adjustSize();
    centreOnSheet(clinicNameLabel());
}

void MainWindow::centreOnSheet(QLabel* label)
{
    label->move((m_sheet->width() - label->width()) / 2, label->y());
}

void MainWindow::readClinicName()
{
    if (const std::optional<QString> name = readStoredClinicName(m_context.store.settings())) {
        clinicNameLabel()->setText(*name);
        clinicNameLabel()->adjustSize();
    }
}

void MainWindow::hidePopups()
{
    m_diagnosisPopup->hide();
    m_addressPopup->hide();
    m_patientPopup->hide();
}

void MainWindow::runToolbarCommand(ToolbarCommand command)
{
    switch (command) {
    case ToolbarCommand::Copy:
        copyBodyToClipboard();
        break;
    case ToolbarCommand::Paste:
        pasteClipboardIntoBody();
        break;
    case ToolbarCommand::Help:
        openHelpPage();
        break;
    default:
        if (const auto& handler = m_toolbarHandlers[command])
            handler();
        break;
    }
}

QAction* MainWindow::menuAction(const QString& objectName) const { return findChild<QAction*>(objectName); }

QString MainWindow::commandName(Command command) { return fromUtf8(commandLayout(command).objectName); }

void MainWindow::provideCommand(Command command, std::function<void()> handler)
{
    QAction* action = this->action(command);
    action->setEnabled(true);
    m_provided[command] = true;
    connect(action, &QAction::triggered, this, [handler] { handler(); });
    if (const std::optional<ToolbarCommand> button = commandLayout(command).button) {
        m_toolbarHandlers[*button] = handler;
        toolbarButton(*button)->setEnabled(true);
    }
}

Prescription MainWindow::prescription() const
{
    Prescription p;
    for (int i = 0; i < kHeadingFieldCount; ++i)
        p.fields[i] = m_headingInputs[i]->text();
    p.title = titleLabel()->text();
    p.kind = m_kind;
    p.body = m_body->toPlainText();
    p.injectionCard = m_injectionCardBox->toPlainText();
    p.history = m_historyBox->toPlainText();
    p.key = m_recordKey->text();
    return p;
}

bool MainWindow::save() { return m_recordCommands && m_recordCommands->save(); }

void MainWindow::copyBodyToClipboard()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_body->toPlainText());
}

void MainWindow::pasteClipboardIntoBody()
{
    QString text = QGuiApplication::clipboard()->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Assigning the text the body already holds must not count as a change.
    if (m_body->toPlainText() != text)
        m_body->setPlainText(text);
}

void MainWindow::openHelpPage()
{
    // Nothing visible happens when no browser takes the page, so the doctor is told.
    const QString path = writeHelpPage();
    if (path.isEmpty())
        m_context.messages.warn(kHelpPageNotWrittenMessage);
    else if (!m_context.urls.open(QUrl::fromLocalFile(path)))
        m_context.messages.warn(kHelpPageNotOpenedMessage);
}

bool MainWindow::isWindowShortcut(const QKeySequence& keys) const
{
    for (const QAction* action : m_menuActions)
        if (action->isEnabled() && action->shortcut() == keys)
            return true;
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A text box would claim Ctrl+X, Ctrl+Z and the like for editing; the menu's keys win.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (isWindowShortcut(QKeySequence(key->keyCombination()))) {
                event->ignore();
                return true;
            }
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if ((watched == m_body->viewport() || watched == m_historyBox->viewport())
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            hidePopups();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    centreOnScreen(this, {.wholeScreen = true, .reserveTwips = kTaskBarReserveTwips});
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    hide();
    event->accept();
    emit closeRequested();
}

}  // namespace qelvaro
