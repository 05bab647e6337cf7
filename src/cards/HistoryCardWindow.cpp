#include "HistoryCardWindow.h"

#include "AppContext.h"
#include "DataStore.h"
#include "MainWindow.h"
#include "MessageSink.h"
#include "SettingsCopy.h"
#include "Page.h"
#include "PainterSink.h"
#include "PrintTarget.h"
#include "Twips.h"
#include "WindowHelpers.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollBar>

namespace qelvaro {

namespace {

constexpr int kSettingsSuffix = 4;
constexpr int kMarginLength = 50;  // the width of the stored columns
constexpr int kScrollSteps = 5;
constexpr int kViewportHeight = 9270;
// The preview is drawn at the screen's layout resolution, where a pixel is 15 twips.
constexpr int kPreviewDotsPerMetre = 3780;  // 96 dpi

// Shows the drawn card; what was drawn stays until the next opening draws it again.
class CardSurface : public QWidget {
public:
    CardSurface(const QImage& image, QWidget* parent) : QWidget(parent), m_image(image) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(QPoint(0, 0), m_image);
    }

private:
    const QImage& m_image;
};

QLabel* label(const QString& text, QWidget* parent, int left, int top)
{
    auto* l = new QLabel(text, parent);
    l->move(twipsPoint(left, top));
    l->adjustSize();
    return l;
}

QRadioButton* option(const QString& text, const QString& name, QWidget* parent, int left, int top)
{
    auto* o = new QRadioButton(text, parent);
    o->setObjectName(name);
    o->move(twipsPoint(left, top));
    o->adjustSize();
    return o;
}

QLineEdit* marginBox(const QString& name, QWidget* parent, int left)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(twipsRect(left, 210, 495, 270));
    box->setMaxLength(kMarginLength);
    pasteAsOneLine(box);
    return box;
}

}  // namespace

HistoryCardWindow::HistoryCardWindow(MainWindow& main, AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window), m_main(main), m_context(context)
{
    setObjectName(QStringLiteral("historyCardWindow"));
    setWindowTitle(kCaption);
    // The captions of the print settings fit their places in this face and size only.
    QFont windowFont(QStringLiteral("宋体"));
    windowFont.setPointSizeF(9);
    setFont(windowFont);
    setFixedSize(twipsToPixels(9975), twipsToPixels(10140));

    m_viewport = new QWidget(this);
    m_viewport->setObjectName(QStringLiteral("cardViewport"));
    m_viewport->setGeometry(twipsRect(120, 120, 9765, kViewportHeight));
    QPalette grey = m_viewport->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    m_viewport->setPalette(grey);
    m_viewport->setAutoFillBackground(true);

    m_surface = new CardSurface(m_preview, m_viewport);
    m_surface->setObjectName(QStringLiteral("cardSurface"));
    m_surface->setGeometry(twipsRect(540, 0, kHistoryCardWidth, kHistoryCardHeight));

    // The card's history box is never shown: it only breaks the record into lines at its width.
    m_historyBox = new MultiLineBox(m_surface);
    m_historyBox->setObjectName(QStringLiteral("historyBox"));
    m_historyBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_historyBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont boxFont(QStringLiteral("宋体"));
    boxFont.setPointSizeF(kHistoryBoxPoints);
    m_historyBox->setFont(boxFont);
    m_historyBox->hide();
    m_historyBox->setGeometry(twipsRect(kHistoryBoxLeft, kHistoryBoxTop, kHistoryBoxWidth, kHistoryBoxHeight));
    // A box that is never shown is never told its size, and lays its text out without wrapping:
    // give it its size, then set the wrap mode anew so the text wraps at the box's width.
    QResizeEvent resized(m_historyBox->size(), QSize());
    QCoreApplication::sendEvent(m_historyBox, &resized);
    m_historyBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_historyBox->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_scrollBar = new QScrollBar(Qt::Vertical, m_viewport);
    m_scrollBar->setObjectName(QStringLiteral("cardScrollBar"));
    m_scrollBar->setGeometry(twipsRect(9450, 0, 255, 9220));
    m_scrollBar->setRange(0, kScrollSteps);
    m_scrollBar->setSingleStep(1);
    m_scrollBar->setPageStep(1);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &HistoryCardWindow::scrollCard);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(twipsRect(60, 9420, 5775, 615));
    label(QStringLiteral("打印左边距(mm)"), frame, 120, 240);
    m_leftMargin = marginBox(QStringLiteral("leftMarginBox"), frame, 1440);
    label(QStringLiteral("打印上边距(mm)"), frame, 1980, 240);
    m_topMargin = marginBox(QStringLiteral("topMarginBox"), frame, 3300);
    m_portrait = option(QStringLiteral("纵打"), QStringLiteral("portraitOption"), frame, 4080, 240);
    m_landscape = option(QStringLiteral("横打"), QStringLiteral("landscapeOption"), frame, 4920, 240);

    m_printButton = new QPushButton(QStringLiteral("打印病史"), this);
    m_printButton->setObjectName(QStringLiteral("printHistoryButton"));
    m_printButton->setGeometry(twipsRect(8100, 9600, 1695, 375));
    connect(m_printButton, &QPushButton::clicked, this, [this] { print(); });

    centreWhenFirstShown(this);
}

void HistoryCardWindow::open()
{
    if (!isVisible()) {
        load();
        // The first showing centres the window once it knows its frame; later openings centre it
        // again, as every opening does.
        if (m_openedBefore)
            centreOnScreen(this);
        m_openedBefore = true;
    }
    show();
    raise();
    activateWindow();
}

void HistoryCardWindow::load()
{
    const Prescription prescription = m_main.prescription();
    m_card = HistoryCard{};
    m_card.clinicName = m_main.clinicNameLabel()->text();
    const std::pair<HistoryCard::Value, HeadingField> copied[] = {
        {HistoryCard::Name, HeadingField::Name},       {HistoryCard::Sex, HeadingField::Sex},
        {HistoryCard::Age, HeadingField::Age},         {HistoryCard::Date, HeadingField::Date},
        {HistoryCard::Address, HeadingField::Address}, {HistoryCard::Doctor, HeadingField::Doctor},
    };
    for (const auto& [value, field] : copied)
        m_card.values[value] = prescription.field(field);

    m_historyBox->setPlainText(prescription.history);
    const int lines = textBoxLineCount(m_historyBox);
    for (int i = 0; i < lines; ++i)
        m_card.historyLines << textBoxLine(m_historyBox, i);

    readPrintSettings();

    m_previewBody = prescription.body;
    m_scrollBar->setValue(0);
    scrollCard(0);
    renderPreview();
}

void HistoryCardWindow::readPrintSettings()
{
    const std::optional<OwnPrintSettings> stored = readOwnPrintSettings(m_context.store.settings(), kSettingsSuffix);
    m_settingsRead = stored.has_value();
    m_leftMargin->setText(stored ? stored->left : QString());
    m_topMargin->setText(stored ? stored->top : QString());
    // Only "0" means landscape; anything else, the empty text included, is portrait. Without a
    // readable row the window starts in landscape.
    const bool landscape = !stored || stored->orientation == QStringLiteral("0");
    (landscape ? m_landscape : m_portrait)->setChecked(true);
}

void HistoryCardWindow::storePrintSettings()
{
    // Boxes that never received the stored values must not replace them.
    if (!m_settingsRead)
        return;
    const OwnPrintSettings values{m_leftMargin->text(), m_topMargin->text(),
                                  m_portrait->isChecked() ? QStringLiteral("1") : QStringLiteral("0")};
    if (!writeOwnPrintSettings(m_context.store.settings(), kSettingsSuffix, values, true))
        m_context.messages.warn(QStringLiteral("病史打印的边距和方向未能保存。"));
}

void HistoryCardWindow::renderPreview()
{
    m_preview = QImage(m_surface->size(), QImage::Format_RGB32);
    m_preview.setDotsPerMeterX(kPreviewDotsPerMetre);
    m_preview.setDotsPerMeterY(kPreviewDotsPerMetre);
    m_preview.fill(palette().color(QPalette::Base));
    {
        PainterSink sink(m_preview);
        Page page(sink);
        drawPreview(page);
        page.endDoc();
    }
    m_surface->update();
}

void HistoryCardWindow::drawPreview(Page& page) const
{
    drawHistoryCard(page, m_card, m_previewBody, kHistoryPreviewBodyCap);
}

bool HistoryCardWindow::print()
{
    // The body as it stands at the press; everything else as copied on opening.
    const QString body = m_main.prescription().body;
    const QString left = m_leftMargin->text();
    const QString top = m_topMargin->text();
    const bool portrait = m_portrait->isChecked();
    return m_context.printTarget &&
           m_context.printTarget->run(QStringLiteral("门诊病历卡"), [&](Page& page) {
               printHistoryCard(page, m_card, body, left, top, portrait);
           });
}

void HistoryCardWindow::scrollCard(int value)
{
    // Five steps carry the card's foot into the viewport.
    const double offset = double(kHistoryCardHeight - kViewportHeight) * value / kScrollSteps;
    m_surface->move(m_surface->x(), -qRound(offset / kTwipsPerPixel));
}

void HistoryCardWindow::closeEvent(QCloseEvent* event)
{
    storePrintSettings();
    event->accept();
}

}  // namespace qelvaro
