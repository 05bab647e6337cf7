#include "DrugCatalogueWindow.h"

#include "AppContext.h"
#include "CatalogueWidgets.h"
#include "ClickLabel.h"
#include "DataStore.h"
#include "MessageSink.h"
#include "Pinyin.h"
#include "TextRules.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>

namespace qelvaro {

namespace {

struct ButtonPlace {
    int left, top, width;
};
constexpr std::array<ButtonPlace, 14> kButtonPlaces{{{120, 120, 855},
                                                     {1020, 120, 795},
                                                     {1860, 120, 915},
                                                     {2820, 120, 1035},
                                                     {3960, 120, 1035},
                                                     {120, 480, 1155},
                                                     {1320, 480, 1215},
                                                     {2580, 480, 1095},
                                                     {3660, 480, 1335},
                                                     {1200, 840, 915},
                                                     {120, 840, 1035},
                                                     {2160, 840, 915},
                                                     {3120, 840, 855},
                                                     {4020, 840, 975}}};

struct Abbreviation {
    const char* text;
    int left, width;
};
constexpr std::array<Abbreviation, 12> kPalette{{{"mg", 60, 180},
                                                 {"ml", 420, 180},
                                                 {"*", 780, 90},
                                                 {"#", 1080, 90},
                                                 {"tid", 1320, 270},
                                                 {"bid", 1740, 270},
                                                 {"qd", 2160, 180},
                                                 {"qid", 2460, 270},
                                                 {"qn", 2880, 180},
                                                 {"qod", 3180, 270},
                                                 {"prn", 3600, 270},
                                                 {"HS", 4020, 180}}};

const QString kAllCaption = QStringLiteral("全部");

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(twipsRect(left, top, width, height + 60));
    return label;
}

}  // namespace

DrugCatalogueWindow::DrugCatalogueWindow(AppContext& context, QWidget* parent)
    : QWidget(parent),
      m_context(context),
      m_store(context.store.settings(), &context.catalogueChanges, &context.searchIndexes)
{
    setObjectName(QStringLiteral("drugCatalogueWindow"));
    makeFixedDialog(this, QStringLiteral("药品维护"), 9525, 5985);
    setFont(songFont(9));
    build();
}

void DrugCatalogueWindow::build()
{
    const QStringList captions = drugCategories() << kAllCaption;
    for (int i = 0; i < 14; ++i) {
        const ButtonPlace& place = kButtonPlaces[size_t(i)];
        QPushButton* button = makeButton(this, captions[i], "", place.left, place.top, place.width, 300);
        button->setObjectName(QStringLiteral("categoryButton%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { categoryClicked(i); });
        m_categoryButtons[size_t(i)] = button;
    }

    m_list = new CatalogueList(this);
    m_list->setObjectName(QStringLiteral("drugList"));
    m_list->setGeometry(twipsRect(120, 1260, 4875, 3840));
    connect(m_list, &CatalogueList::itemSelectionChanged, this, &DrugCatalogueWindow::pick);
    // A click on the item already selected loads it again (after 添加, to copy it).
    connect(m_list, &CatalogueList::itemClicked, this, &DrugCatalogueWindow::pick);

    auto* searchCaption = new ClickLabel(QStringLiteral("拼音查询："), this);
    searchCaption->setObjectName(QStringLiteral("searchCaption"));
    searchCaption->setGeometry(twipsRect(120, 5460, 900, 240));
    connect(searchCaption, &ClickLabel::clicked, this, [this, searchCaption] { insertAbbreviation(searchCaption->text()); });
    m_search = makeLineBox(this, "searchBox", 1200, 5400, 3795, 315);
    connect(m_search, &QLineEdit::textChanged, this, &DrugCatalogueWindow::searchChanged);

    auto* strip = new QFrame(this);
    strip->setObjectName(QStringLiteral("abbreviationStrip"));
    strip->setGeometry(twipsRect(5160, 5400, 4275, 375));
    strip->setFrameShape(QFrame::Panel);
    strip->setFrameShadow(QFrame::Sunken);
    for (const Abbreviation& entry : kPalette) {
        const QString text = QString::fromLatin1(entry.text);
        auto* label = new ClickLabel(text, strip);
        label->setObjectName(QStringLiteral("abbreviation_") + text);
        label->setGeometry(twipsRect(entry.left, 60, entry.width + 60, 240));
        label->setCursor(Qt::PointingHandCursor);
        connect(label, &ClickLabel::clicked, this, [this, text] { insertAbbreviation(text); });
    }

    auto* frame = new QGroupBox(QStringLiteral("添加药品"), this);
    frame->setObjectName(QStringLiteral("drugFrame"));
    frame->setGeometry(twipsRect(5100, 120, 4335, 3015));
    makeLabel(frame, QStringLiteral("药品名称："), 120, 480, 900, 180);
    m_name = makeLineBox(frame, "nameBox", 1080, 450, 3015, 285);
    makeLabel(frame, QStringLiteral("用法用量："), 120, 960, 900, 180);
    m_usage = makeLineBox(frame, "usageBox", 1080, 930, 3015, 270);
    makeLabel(frame, QStringLiteral("拼音代码："), 120, 1440, 900, 180);
    m_code = makeLineBox(frame, "codeBox", 1080, 1410, 3015, 270);
    makeLabel(frame, QStringLiteral("药品分类："), 120, 1920, 900, 180);
    m_category = new QComboBox(frame);
    m_category->setObjectName(QStringLiteral("categoryBox"));
    m_category->setGeometry(twipsRect(1080, 1860, 3015, 300));
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    m_category->addItems(drugCategories());
    m_add = makeButton(frame, QStringLiteral("添  加"), "addButton", 120, 2400, 1335, 375);
    m_save = makeButton(frame, QStringLiteral("保  存"), "saveButton", 1500, 2400, 1335, 375);
    m_delete = makeButton(frame, QStringLiteral("删  除"), "deleteButton", 2880, 2400, 1335, 375);

    for (QLineEdit* box : {m_name, m_usage}) {
        box->installEventFilter(this);
    }
    connect(m_name, &QLineEdit::textChanged, this, [this] { setBoxText(m_code, pinyinCode(trimBlanks(m_name->text()))); });
    connect(m_add, &QPushButton::clicked, this, &DrugCatalogueWindow::add);
    connect(m_save, &QPushButton::clicked, this, &DrugCatalogueWindow::save);
    connect(m_delete, &QPushButton::clicked, this, &DrugCatalogueWindow::remove);

    // The lines stand an empty line apart; the empty lines are kept low so all five fit.
    const QStringList ruleLines{QStringLiteral("1、静脉药品仅填写名称，不需填写用法用量。"),
                                QStringLiteral("如：药品名称：青霉素针 960万"), QStringLiteral("2、口服及其他药品填写格式："),
                                QStringLiteral("如：药品名称：阿莫西林片 0.25*24"),
                                QStringLiteral("     用法用量：0.5 tid")};
    QStringList paragraphs;
    for (const QString& line : ruleLines)
        paragraphs << QStringLiteral("<p style=\"margin:0; white-space:pre\">%1</p>").arg(line.toHtmlEscaped());
    auto* rule = new QLabel(paragraphs.join(QStringLiteral("<p style=\"margin:0; font-size:5pt\">&nbsp;</p>")), this);
    rule->setTextFormat(Qt::RichText);
    rule->setObjectName(QStringLiteral("writingRule"));
    rule->setGeometry(twipsRect(5160, 3300, 4275, 1875));
    rule->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rule->setWordWrap(true);
    rule->setStyleSheet(QStringLiteral("color: blue"));

    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    QAction* remove = m_listMenu->addAction(QStringLiteral("删除"));
    remove->setObjectName(QStringLiteral("listMenuDelete"));
    remove->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    connect(remove, &QAction::triggered, this, &DrugCatalogueWindow::remove);
    QAction* cancel = m_listMenu->addAction(QStringLiteral("取消"));
    cancel->setObjectName(QStringLiteral("listMenuCancel"));
    cancel->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    m_list->setMenu(m_listMenu);
    // The keys the menu shows act while it is open; closed, they do nothing (see eventFilter).
    m_listMenu->installEventFilter(this);

    // The keyboard cycle for entering drugs: 添加, name, usage, 保存, and back to 添加.
    QWidget* order[] = {m_add, m_name, m_usage, m_save, m_list, m_code, m_search, m_delete, m_category};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
    QWidget* previous = m_category;
    for (int i = 12; i >= 0; --i) {
        setTabOrder(previous, m_categoryButtons[size_t(i)]);
        previous = m_categoryButtons[size_t(i)];
    }
    setTabOrder(previous, m_categoryButtons[13]);
}

void DrugCatalogueWindow::open()
{
    if (!isVisible()) {
        startAfresh();
        centreOnScreen(this);
        show();
        m_add->setFocus(Qt::OtherFocusReason);
        activateWindow();
        return;
    }
    raise();
    activateWindow();
}

void DrugCatalogueWindow::startAfresh()
{
    // The controls as designed, then the kept mode's category. A window closed in search mode
    // lists nothing on opening: no drug has the category "全部".
    {
        const QSignalBlocker quietSearch(m_search);
        m_search->clear();
    }
    for (QLineEdit* box : {m_name, m_usage, m_code})
        box->clear();
    m_category->setCurrentIndex(0);
    m_category->setEditText(drugCategories().first());
    m_lastBox = nullptr;
    for (int i = 0; i < 14; ++i) {
        QFont font = m_categoryButtons[size_t(i)]->font();
        font.setBold(i == 0);
        m_categoryButtons[size_t(i)]->setFont(font);
    }
    const QString caption = m_categoryButtons[size_t(m_mode)]->text();
    listRows([this, caption] { return m_store.ofCategory(caption); }, true);
}

void DrugCatalogueWindow::showMode(int mode)
{
    m_mode = mode;
    for (int i = 0; i < 14; ++i) {
        QFont font = m_categoryButtons[size_t(i)]->font();
        font.setBold(i == mode);
        m_categoryButtons[size_t(i)]->setFont(font);
    }
}

DrugCatalogueWindow::Listing DrugCatalogueWindow::modeListing() const
{
    if (m_mode == kDrugSearchMode) {
        const QString typed = m_search->text();
        return [this, typed] { return m_store.search(typed); };
    }
    const QString caption = m_categoryButtons[size_t(m_mode)]->text();
    return [this, caption] { return m_store.containingCategory(caption); };
}

void DrugCatalogueWindow::listRows(Listing listing, bool pickFirst)
{
    m_listing = std::move(listing);
    refillList(m_list, m_listing(), pickFirst, m_target);
}

void DrugCatalogueWindow::categoryClicked(int index)
{
    showMode(index);
    listRows(modeListing(), true);
}

void DrugCatalogueWindow::searchChanged()
{
    showMode(kDrugSearchMode);
    listRows(modeListing(), true);
}

void DrugCatalogueWindow::pick()
{
    const std::optional<qint64> rowId = m_list->selectedRowId();
    if (!rowId)
        return;
    const std::optional<DrugRow> row = m_store.read(*rowId);
    if (!row) {
        // Deleted behind the window's back: nothing is bound, the boxes keep what they show, and
        // the list is filled again without it.
        m_target.row.reset();
        listRows(m_listing, false);
        return;
    }
    m_target.row = rowId;
    const DrugEntryText parts = drugEntryBoxes(row->name);
    m_name->setText(parts.name);
    m_usage->setText(parts.usage);
    // A row without a code shows the code computed from its name, also when the name box already
    // held that name and so computed nothing.
    setBoxText(m_code, row->code.isEmpty() ? pinyinCode(trimBlanks(parts.name)) : row->code);
    m_category->setEditText(row->category);
}

void DrugCatalogueWindow::add()
{
    m_target.adding = true;
    m_target.row.reset();
    for (QLineEdit* box : {m_name, m_usage, m_code})
        box->clear();
    m_name->setFocus(Qt::OtherFocusReason);
}

void DrugCatalogueWindow::save()
{
    DrugRow row{joinDrugEntry(m_name->text(), m_usage->text()), drugCodeToStore(m_code->text(), m_name->text()),
                m_category->currentText()};
    const WriteResult result = m_store.save(m_target.rowToOverwrite(), row);
    if (!result.ok()) {
        // Nothing stored: the boxes, the add flag and the list stay as they are.
        m_context.messages.warn(result.refusal);
        return;
    }
    if (trimBlanks(m_code->text()).isEmpty())
        m_code->setText(m_name->text());
    showMode(categoryAfterSave(row.category, m_mode));
    listRows(modeListing(), false);
    m_add->setFocus(Qt::OtherFocusReason);
    // The boxes show the row just written: a corrected entry is saved over it, not added again.
    m_target = EditTarget{false, result.rowId};
}

void DrugCatalogueWindow::remove()
{
    // Only the row the boxes are bound to; with none (after a delete, or a refill that picked
    // nothing) nothing is deleted.
    if (!m_target.row)
        return;
    if (!m_store.remove(*m_target.row)) {
        m_context.messages.warn(QStringLiteral("未能从数据库删除该药品。"));
        return;
    }
    m_target.row.reset();
    listRows(m_listing, false);
    for (QLineEdit* box : {m_name, m_usage, m_code})
        box->clear();
}

void DrugCatalogueWindow::insertAbbreviation(const QString& text)
{
    if (!m_lastBox)
        return;
    m_lastBox->insert(text);
    m_lastBox->setFocus(Qt::OtherFocusReason);
}

bool DrugCatalogueWindow::eventFilter(QObject* watched, QEvent* event)
{
    // An open popup menu takes the keys but does not run its items' shortcuts. With the menu
    // closed they stay off: Ctrl+B lies beside Ctrl+V, and 删除 asks nothing before it deletes.
    if (watched == m_listMenu && event->type() == QEvent::KeyPress) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (QAction* action : m_listMenu->actions()) {
            if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed) {
                m_listMenu->hide();
                action->trigger();
                return true;
            }
        }
    }
    if (watched == m_name || watched == m_usage) {
        if (event->type() == QEvent::FocusIn)
            m_lastBox = static_cast<QLineEdit*>(watched);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qelvaro
