#include "InfusionCardWindow.h"

#include "AppContext.h"
#include "Clock.h"
#include "DataStore.h"
#include "DrawingSurface.h"
#include "DrugQueries.h"
#include "InfusionCardStore.h"
#include "InjectionCardText.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "SettingsCopy.h"
#include "Page.h"
#include "PrintTarget.h"
#include "RowList.h"
#include "TextRules.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace qelvaro {
namespace {

constexpr int kPrintSettingsSuffix = 3;
constexpr int kMarginColumnWidth = 50;

// Twips on the card surface (148 x 210 mm) and in the viewport that scrolls it.
constexpr int kCardWidth = 8391;
constexpr int kCardHeight = 11906;
constexpr int kCardLeft = 540;
constexpr int kCardDesignTop = -120;
constexpr int kViewportHeight = 9270;
constexpr int kScrollMaximum = 5;
// The drop list stands this far below the top of the name cell that changed last.
constexpr int kDropListBelowCell = 360;

constexpr int kCentred = -1;

struct LabelLayout {
    const char* caption;
    int left;
    int top;
    double points;
};

// Label 0 takes the clinic name at every opening.
constexpr std::array<LabelLayout, 13> kLabels{{
    {"", kCentred, 780, 15.75},
    {"输液执行卡", kCentred, 1260, 14.25},
    {"姓名：", 900, 1980, 10.5},
    {"性别：", 2820, 1980, 10.5},
    {"年龄：", 4140, 1980, 10.5},
    {"日期：", 5520, 1980, 10.5},
    {"诊断：", 900, 2460, 10.5},
    {"医生：", 900, 10140, 10.5},
    {"护士：", 2820, 10140, 10.5},
    {"名     称", 1920, 2880, 10.5},
    {"速度", 4560, 2880, 10.5},
    {"执行时间", 5340, 2880, 10.5},
    {"护士签名", 6420, 2880, 10.5},
}};

struct BoxLayout {
    int left;
    int top;
    int width;
};

constexpr int kHeaderHeight = 270;
// In InfusionHeader order.
constexpr std::array<BoxLayout, kInfusionHeaderCount> kHeaderBoxes{{
    {1560, 1980, 1155},  // 姓名
    {3480, 1980, 555},   // 性别
    {4740, 1980, 675},   // 年龄
    {6120, 1980, 1275},  // 日期
    {1560, 2460, 5835},  // 诊断
    {1560, 10140, 1155}, // 医生
    {3480, 10140, 1275}, // 护士
}};

struct ColumnLayout {
    int left;
    int width;
    int height;
    const char* name;
};

constexpr int kFirstRowTop = 3360;
constexpr int kRowPitch = 480;
constexpr std::array<ColumnLayout, kInfusionColumnCount> kColumns{{
    {960, 3255, 315, "nameCell"},
    {4380, 855, 330, "speedCell"},
    {5400, 855, 315, "timeCell"},
    {6480, 855, 315, "signatureCell"},
}};

// The rules of the card: the heading row and the fourteen grid rows, the outer edges and the
// column boundaries.
QList<QLine> cardRules()
{
    QList<QLine> rules;
    for (int i = 0; i <= 15; ++i)
        rules.append(QLine(900, 2760 + kRowPitch * i, 7380, 2760 + kRowPitch * i));
    rules.append(QLine(900, 9960, 900, 2760));
    rules.append(QLine(6360, 2760, 6360, 9960));
    rules.append(QLine(7380, 2760, 7380, 9960));
    rules.append(QLine(4260, 2760, 4260, 9960));
    rules.append(QLine(5280, 2760, 5280, 9960));
    return rules;
}

QFont cardFont(double points, bool bold)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QPointF twipsOn(const QWidget* control, const QWidget* surface)
{
    const QPoint p = control->mapTo(surface, QPoint());
    return QPointF(pixelsToTwips(p.x()), pixelsToTwips(p.y()));
}

ScreenText screenText(const QWidget* control, const QString& text, const QWidget* surface)
{
    const QFont& font = control->font();
    return {text, PageFont{font.family(), font.pointSizeF(), font.bold()}, twipsOn(control, surface),
            control->isVisibleTo(surface)};
}

}  // namespace

InfusionCardWindow::InfusionCardWindow(MainWindow& main, AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_main(main), m_context(context)
{
    setObjectName(QStringLiteral("infusionCardWindow"));
    setWindowTitle(kCaption);
    setFont(cardFont(9, false));
    setFixedSize(twipsToPixels(9990), twipsToPixels(10200));

    buildViewport();
    buildCard();
    buildSettingsFrame();

    m_deleteRow = new QPushButton(QStringLiteral("删除行"), this);
    m_deleteRow->setObjectName(QStringLiteral("deleteRowButton"));
    m_deleteRow->setGeometry(twipsRect(6180, 9660, 1155, 375));
    m_save = new QPushButton(QStringLiteral("保  存"), this);
    m_save->setObjectName(QStringLiteral("saveCardButton"));
    m_save->setGeometry(twipsRect(7440, 9660, 1155, 375));
    m_print = new QPushButton(QStringLiteral("打  印"), this);
    m_print->setObjectName(QStringLiteral("printCardButton"));
    m_print->setGeometry(twipsRect(8700, 9660, 1155, 375));
    for (QPushButton* button : {m_deleteRow, m_save, m_print})
        button->setAutoDefault(false);
    connect(m_deleteRow, &QPushButton::clicked, this, &InfusionCardWindow::deleteRow);
    connect(m_save, &QPushButton::clicked, this, &InfusionCardWindow::saveCard);
    connect(m_print, &QPushButton::clicked, this, &InfusionCardWindow::printCard);

    setTabOrderOfControls();
}

void InfusionCardWindow::buildViewport()
{
    m_viewport = new QFrame(this);
    m_viewport->setObjectName(QStringLiteral("cardViewport"));
    m_viewport->setGeometry(twipsRect(120, 120, 9765, 9270));
    m_viewport->setFrameShape(QFrame::Box);
    m_viewport->setAutoFillBackground(true);
    setBackground(m_viewport, QPalette::Window, QColor(192, 192, 192));

    m_scrollBar = new QScrollBar(Qt::Vertical, m_viewport);
    m_scrollBar->setObjectName(QStringLiteral("cardScrollBar"));
    m_scrollBar->setGeometry(twipsRect(9450, 0, 255, 9220));
    m_scrollBar->setRange(0, kScrollMaximum);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(1);
    // A new value and each move of the dragged thumb both place the card.
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &InfusionCardWindow::placeCard);
}

void InfusionCardWindow::buildCard()
{
    m_card = new DrawingSurface(m_viewport, Qt::white);
    m_card->setObjectName(QStringLiteral("cardSurface"));
    m_card->setGeometry(twipsRect(kCardLeft, kCardDesignTop, kCardWidth, kCardHeight));
    for (const QLine& rule : cardRules())
        m_card->addRule(twipsLine(rule.x1(), rule.y1(), rule.x2(), rule.y2()));

    for (int i = 0; i < int(kLabels.size()); ++i) {
        const LabelLayout& l = kLabels[i];
        auto* label = new QLabel(QString::fromUtf8(l.caption), m_card);
        label->setObjectName(QStringLiteral("cardLabel%1").arg(i));
        label->setFont(cardFont(l.points, true));
        label->move(twipsPoint(l.left == kCentred ? 0 : l.left, l.top));
        label->adjustSize();
        m_labels[i] = label;
    }
    centreOnCard(m_labels[1]);

    // Value boxes: no border of their own (the rules frame them), white, no length limit.
    auto makeBox = [this](const QString& name, const QRect& twips) {
        auto* box = new QLineEdit(m_card);
        box->setObjectName(name);
        box->setFrame(false);
        box->setFont(cardFont(10.5, false));
        box->setGeometry(twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        setBackground(box, QPalette::Base, Qt::white);
        box->installEventFilter(this);
        // The stored card separates cells by "@"; a typed one is kept as "＠".
        connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
            if (text.contains(u'@')) {
                const int caret = box->cursorPosition();
                box->setText(withoutCellSeparator(text));
                box->setCursorPosition(caret);
            }
        });
        return box;
    };
    for (int i = 0; i < kInfusionHeaderCount; ++i) {
        const BoxLayout& b = kHeaderBoxes[i];
        m_header[i] = makeBox(QStringLiteral("cardHeader%1").arg(i), QRect(b.left, b.top, b.width, kHeaderHeight));
    }
    for (int c = 0; c < kInfusionColumnCount; ++c) {
        const ColumnLayout& col = kColumns[c];
        for (int r = 0; r < kInfusionRowCount; ++r) {
            m_cells[c][r] = makeBox(QString::fromUtf8(col.name) + QString::number(r),
                                    QRect(col.left, kFirstRowTop + kRowPitch * r, col.width, col.height));
        }
    }
    for (int r = 0; r < kInfusionRowCount; ++r)
        connect(m_cells[kNameColumn][r], &QLineEdit::textChanged, this, [this, r] { nameChanged(r); });

    // A view over the matches: a one-letter code may list most of a large catalogue.
    m_dropList = new RowList(m_card);
    m_dropRows = new RowListModel(m_dropList);
    m_dropList->setModel(m_dropRows);
    m_dropList->setObjectName(QStringLiteral("drugDropList"));
    m_dropList->setGeometry(twipsRect(900, 3720, 3195, 1290));
    m_dropList->setFont(cardFont(9, false));
    setBackground(m_dropList, QPalette::Base, QColor(192, 255, 255));
    setBackground(m_dropList, QPalette::Text, Qt::blue);
    m_dropList->hide();
    m_dropList->installEventFilter(this);
    connect(m_dropList, &RowList::doubleClicked, this, &InfusionCardWindow::pickDrug);
}

void InfusionCardWindow::buildSettingsFrame()
{
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("printSettingsFrame"));
    frame->setGeometry(twipsRect(120, 9480, 5775, 615));
    auto* leftCaption = new QLabel(QStringLiteral("打印左边距(mm)"), frame);
    leftCaption->move(twipsPoint(120, 240));
    leftCaption->adjustSize();
    m_leftMargin = new QLineEdit(frame);
    m_leftMargin->setObjectName(QStringLiteral("leftMarginBox"));
    m_leftMargin->setGeometry(twipsRect(1440, 210, 495, 270));
    auto* topCaption = new QLabel(QStringLiteral("打印上边距(mm)"), frame);
    topCaption->move(twipsPoint(1980, 240));
    topCaption->adjustSize();
    m_topMargin = new QLineEdit(frame);
    m_topMargin->setObjectName(QStringLiteral("topMarginBox"));
    m_topMargin->setGeometry(twipsRect(3300, 210, 495, 270));
    // The settings columns hold 50 characters; a longer margin could never be written back.
    m_leftMargin->setMaxLength(kMarginColumnWidth);
    m_topMargin->setMaxLength(kMarginColumnWidth);
    pasteAsOneLine(m_leftMargin);
    pasteAsOneLine(m_topMargin);
    m_portrait = new QRadioButton(QStringLiteral("纵打"), frame);
    m_portrait->setObjectName(QStringLiteral("portraitOption"));
    m_portrait->setGeometry(twipsRect(4080, 240, 675, 195));
    m_landscape = new QRadioButton(QStringLiteral("横打"), frame);
    m_landscape->setObjectName(QStringLiteral("landscapeOption"));
    m_landscape->setGeometry(twipsRect(4920, 240, 675, 195));
}

void InfusionCardWindow::setTabOrderOfControls()
{
    QList<QWidget*> order{headerBox(InfusionHeader::Nurse)};
    for (int c = 0; c < kInfusionColumnCount; ++c)
        for (int r = 0; r < kInfusionRowCount - 1; ++r)
            order.append(m_cells[c][r]);
    order.append(m_scrollBar);
    for (InfusionHeader box : {InfusionHeader::Name, InfusionHeader::Sex, InfusionHeader::Age, InfusionHeader::Date,
                               InfusionHeader::Diagnosis, InfusionHeader::Doctor})
        order.append(headerBox(box));
    for (int c = 0; c < kInfusionColumnCount; ++c)
        order.append(m_cells[c][kInfusionRowCount - 1]);
    order << m_dropList << m_deleteRow << m_save << m_print << m_leftMargin << m_topMargin << m_landscape
          << m_portrait;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void InfusionCardWindow::open()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    load();
    centreOnScreen(this, {.screenOf = &m_main, .wholeScreen = true, .withoutFrame = true,
                          .reserveTwips = kTaskBarReserveTwips});
    show();
    raise();
    activateWindow();
    headerBox(InfusionHeader::Nurse)->setFocus();
    if (m_recordUnread)
        m_context.messages.warn(kCardUnreadMessage);
}

void InfusionCardWindow::load()
{
    m_loading = true;
    // A row chosen on an earlier card is no row of this one.
    m_currentRow = 0;

    m_labels[0]->setText(m_main.clinicNameLabel()->text());
    m_labels[0]->adjustSize();
    centreOnCard(m_labels[0]);
    centreOnCard(m_labels[1]);

    showCard(InfusionCard{});
    m_dropRows->setRows({});
    m_dropList->hide();
    {
        const QSignalBlocker quiet(m_scrollBar);
        m_scrollBar->setValue(0);
    }
    m_card->move(m_card->x(), twipsToPixels(kCardDesignTop));

    readPrintSettings();

    // The card is bound to this record from now on, whatever the main window opens later.
    const Prescription prescription = m_main.prescription();
    m_boundKey = prescription.key;
    const InfusionCardRead read = readInfusionCard(m_context.store.records(), m_boundKey);
    m_recordUnread = read.status == InfusionCardRead::Status::Failed;
    switch (read.status) {
    case InfusionCardRead::Status::Saved:
        showCard(read.card);
        break;
    case InfusionCardRead::Status::NoCard: {
        InfusionCard card;
        const std::pair<InfusionHeader, HeadingField> copied[] = {
            {InfusionHeader::Name, HeadingField::Name},           {InfusionHeader::Sex, HeadingField::Sex},
            {InfusionHeader::Age, HeadingField::Age},             {InfusionHeader::Date, HeadingField::Date},
            {InfusionHeader::Diagnosis, HeadingField::Diagnosis}, {InfusionHeader::Doctor, HeadingField::Doctor}};
        for (const auto& [box, field] : copied)
            card.header[size_t(box)] = prescription.field(field);
        card.cells[kNameColumn] = spreadInjectionText(injectionCardText(prescription.body));
        showCard(card);
        break;
    }
    case InfusionCardRead::Status::Failed:
        // Nothing is known of a stored card, so none is made up and none may be written over;
        // the opening says so once the window stands.
        break;
    }
    m_loading = false;
}

void InfusionCardWindow::showCard(const InfusionCard& card)
{
    for (int i = 0; i < kInfusionHeaderCount; ++i)
        setCellText(m_header[i], card.header[i]);
    for (int c = 0; c < kInfusionColumnCount; ++c)
        for (int r = 0; r < kInfusionRowCount; ++r)
            setCellText(m_cells[c][r], card.cells[c][r]);
}

void InfusionCardWindow::setCellText(QLineEdit* cell, const QString& text)
{
    cell->setText(text);
    // A line box shows the end of a text set by the program; a cell wider than its text shows
    // its start, as the start of a usage line or a name says most.
    cell->home(false);
}

InfusionCard InfusionCardWindow::card() const
{
    InfusionCard card;
    for (int i = 0; i < kInfusionHeaderCount; ++i)
        card.header[i] = m_header[i]->text();
    for (int c = 0; c < kInfusionColumnCount; ++c)
        for (int r = 0; r < kInfusionRowCount; ++r)
            card.cells[c][r] = m_cells[c][r]->text();
    return card;
}

void InfusionCardWindow::readPrintSettings()
{
    const std::optional<OwnPrintSettings> settings =
        readOwnPrintSettings(m_context.store.settings(), kPrintSettingsSuffix);
    m_settingsRead = settings.has_value();
    m_leftMargin->setText(settings ? settings->left : QString());
    m_topMargin->setText(settings ? settings->top : QString());
    if (!settings || settings->orientation == u"0")
        m_landscape->setChecked(true);
    else
        m_portrait->setChecked(true);
}

void InfusionCardWindow::closeEvent(QCloseEvent* event)
{
    // Written on every close, but never when the opening could not read them: empty boxes would
    // replace good settings.
    if (m_settingsRead) {
        const OwnPrintSettings values{m_leftMargin->text(), m_topMargin->text(),
                                      m_portrait->isChecked() ? QStringLiteral("1") : QStringLiteral("0")};
        if (!writeOwnPrintSettings(m_context.store.settings(), kPrintSettingsSuffix, values, true))
            m_context.messages.warn(kCardPrintSettingsFailedMessage);
    }
    m_dropList->hide();
    event->accept();
}

bool InfusionCardWindow::saveCard()
{
    if (m_recordUnread) {
        m_context.messages.warn(kCardUnreadMessage);
        return false;
    }
    // The prescription is saved with its card only while the main window still holds it; once it
    // holds another, the card goes into its own record or nowhere.
    const bool mainHoldsRecord = m_main.prescription().key == m_boundKey;
    if (mainHoldsRecord && !m_main.save()) {
        m_context.messages.warn(kCardPrescriptionNotSavedMessage);
        return false;
    }
    switch (writeInfusionCard(m_context.store.records(), m_boundKey, card())) {
    case InfusionCardWrite::Written:
        m_save->setFocus();
        return true;
    case InfusionCardWrite::NoRecord:
        m_context.messages.warn(mainHoldsRecord ? kCardSaveFailedMessage : kCardRecordMissingMessage);
        return false;
    case InfusionCardWrite::Failed:
        break;
    }
    m_context.messages.warn(kCardSaveFailedMessage);
    return false;
}

void InfusionCardWindow::deleteRow()
{
    // Each name written runs its change reaction as typing would: a row whose name becomes empty
    // loses its rate, time and signature before the row below moves in.
    for (int r = m_currentRow; r < kInfusionRowCount; ++r) {
        for (int c : {kNameColumn, kSpeedColumn, kTimeColumn}) {
            const bool last = r == kInfusionRowCount - 1;
            setCellText(m_cells[c][r], last ? QString() : m_cells[c][r + 1]->text());
        }
    }
}

bool InfusionCardWindow::printCard()
{
    const InfusionCardPrintout card = printout();
    return m_context.printTarget &&
           m_context.printTarget->run(kCaption, [&card](Page& page) { printInfusionCard(page, card); });
}

InfusionCardPrintout InfusionCardWindow::printout() const
{
    InfusionCardPrintout p;
    for (const QLabel* label : m_labels)
        p.texts.append(screenText(label, label->text(), m_card));
    for (const QLineEdit* box : m_header)
        p.texts.append(screenText(box, box->text(), m_card));
    for (const auto& column : m_cells)
        for (const QLineEdit* box : column)
            p.texts.append(screenText(box, box->text(), m_card));
    for (const QLine& rule : cardRules())
        p.rules.append({QLineF(rule), 1, true});
    p.marginLeft = m_leftMargin->text();
    p.marginTop = m_topMargin->text();
    p.portrait = m_portrait->isChecked();
    return p;
}

void InfusionCardWindow::nameChanged(int row)
{
    QLineEdit* cell = m_cells[kNameColumn][row];
    // A typed "@" is being replaced: the reaction runs on the replaced text.
    if (m_loading || cell->text().contains(u'@'))
        return;
    const QString text = cell->text();
    if (trimBlanks(text).isEmpty()) {
        for (int c : {kSpeedColumn, kTimeColumn, kSignatureColumn})
            m_cells[c][row]->clear();
    }
    m_dropRows->setRows({});
    m_dropList->hide();
    m_dropList->move(m_dropList->x(), cell->y() + twipsToPixels(kDropListBelowCell));
    // The empty text would list every drug only to hide them again.
    if (text.isEmpty())
        return;
    m_dropRows->setRows(DrugQueries(m_context.store.settings(), &m_context.searchIndexes).everyDrugWithCode(text));
    if (m_dropList->count() > 0) {
        m_dropList->show();
        m_dropList->raise();
    }
}

void InfusionCardWindow::pickDrug()
{
    // Enter in the list reached by Tab has nothing selected to take.
    const int picked = m_dropList->selectedRow();
    if (picked < 0)
        return;
    QString text = m_dropList->text(picked);
    if (const qsizetype slash = text.indexOf(u'\\'); slash >= 0)
        text.truncate(slash);
    else if (text.contains(QStringLiteral("用法")))
        text.prepend(QStringLiteral("    "));
    QLineEdit* cell = m_cells[kNameColumn][m_currentRow];
    setCellText(cell, text);
    cell->setFocus();
}

void InfusionCardWindow::fillOnClick(QLineEdit* cell, const QString& text)
{
    if (!cell->text().isEmpty())
        return;
    cell->setText(text);
    cell->setCursorPosition(int(text.size()));
}

void InfusionCardWindow::placeCard(int value)
{
    const int top = -(kCardHeight - kViewportHeight) * value / kScrollMaximum;
    m_card->move(m_card->x(), twipsToPixels(top));
}

void InfusionCardWindow::centreOnCard(QLabel* label)
{
    const double left = (148 * kTwipsPerMillimetre - pixelsToTwips(label->width())) / 2;
    label->move(twipsToPixels(int(left)), label->y());
}

bool InfusionCardWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dropList) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                pickDrug();
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }
    for (int r = 0; r < kInfusionRowCount; ++r) {
        if (watched == m_cells[kNameColumn][r]) {
            QLineEdit* cell = m_cells[kNameColumn][r];
            if (event->type() == QEvent::FocusIn) {
                m_currentRow = r;
            } else if (event->type() == QEvent::KeyPress) {
                const int key = static_cast<QKeyEvent*>(event)->key();
                if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                    cell->setCursorPosition(int(cell->text().size()));
                    focusNextChild();
                    return true;
                }
                if (key == Qt::Key_Down) {
                    // With the list hidden there is nowhere to go.
                    if (m_dropList->isVisible()) {
                        m_dropList->setFocus();
                        m_dropList->setCurrentRow(0);
                    }
                    return true;
                }
            }
            break;
        }
        // Only a click fills: moving in with the keyboard leaves the cell as it is.
        const bool click = event->type() == QEvent::MouseButtonRelease &&
                           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (click && watched == m_cells[kSpeedColumn][r]) {
            fillOnClick(m_cells[kSpeedColumn][r], kDripRate);
            break;
        }
        if (click && watched == m_cells[kTimeColumn][r]) {
            fillOnClick(m_cells[kTimeColumn][r], m_context.clock.now().toString(QStringLiteral("HH:mm")));
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qelvaro
