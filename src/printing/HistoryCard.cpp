#include "HistoryCard.h"

#include "Page.h"
#include "TextRules.h"

namespace qelvaro {

namespace {

const QString kFace = QStringLiteral("宋体");
constexpr double kTitlePoints = 15.75;
constexpr double kFieldPoints = 10.5;
constexpr int kRuleDots = 2;
// A caption with this left is centred across the card.
constexpr double kCentred = -1;

struct Caption {
    const char16_t* text;  // null: the clinic name
    double left;
    double top;
    double points;
};

constexpr Caption kCaptions[] = {
    {nullptr, kCentred, 780, kTitlePoints},          {u"门诊病历卡", kCentred, 1260, kTitlePoints},
    {u"姓名：", 1020, 1980, kFieldPoints},            {u"性别：", 2880, 1980, kFieldPoints},
    {u"年龄：", 4140, 1980, kFieldPoints},            {u"日期：", 5520, 1980, kFieldPoints},
    {u"住址(电话)：", 1020, 2460, kFieldPoints},      {u"医生：", 5520, 10020, kFieldPoints},
};

struct ValuePlace {
    HistoryCard::Value value;
    double left;
    double top;
};

constexpr ValuePlace kValues[] = {
    {HistoryCard::Name, 1620, 1980}, {HistoryCard::Sex, 3480, 1980},     {HistoryCard::Age, 4740, 1980},
    {HistoryCard::Date, 6120, 1980}, {HistoryCard::Address, 2340, 2460}, {HistoryCard::Doctor, 6180, 10020},
};

struct Rule {
    double x1, y1, x2, y2;
};

constexpr Rule kRules[] = {
    {900, 2760, 7380, 2760},  {900, 10380, 7380, 10380}, {900, 1860, 7380, 1860},
    {900, 2340, 7380, 2340},  {900, 1860, 900, 10380},   {7380, 1860, 7380, 10380},
};

void setFont(Page& page, double points, bool bold)
{
    page.setFontName(kFace);
    page.setFontBold(bold);
    page.setFontSize(points);
}

}  // namespace

void drawHistoryCard(Page& page, const HistoryCard& card, const QString& body, int bodyCap)
{
    for (const Caption& caption : kCaptions) {
        const QString text = caption.text ? QString::fromUtf16(caption.text) : card.clinicName;
        setFont(page, caption.points, true);
        // The caption sizes itself to its text in its own font before it is centred.
        const double left =
            caption.left == kCentred ? (kHistoryCardWidthTwips - page.textWidth(text)) / 2 : caption.left;
        page.setCurrentX(left);
        page.setCurrentY(caption.top);
        page.print(text);
    }

    for (const ValuePlace& place : kValues) {
        setFont(page, kFieldPoints, false);
        page.setCurrentX(place.left);
        page.setCurrentY(place.top);
        page.print(card.values[place.value]);
    }

    page.setDrawWidth(kRuleDots);
    for (const Rule& rule : kRules)
        page.line(rule.x1, rule.y1, rule.x2, rule.y2);

    // History and prescription lines keep the font the last value left: 宋体 10.5 regular.
    const QStringList history = card.historyLines.isEmpty() ? QStringList{QString()} : card.historyLines;
    page.setCurrentX(kHistoryBoxLeft);
    page.setCurrentY(kHistoryBoxTop);
    for (const QString& line : history) {
        page.print(line);
        page.setCurrentX(kHistoryBoxLeft);
        page.setCurrentY(page.currentY() + kHistoryLineGap);
    }

    printBodyText(page, body, kHistoryBodyLeft, page.currentY(), bodyCap, BlankLines::Skip, kHistoryLineGap);
}

void printHistoryCard(Page& page, const HistoryCard& card, const QString& body, const QString& leftMargin,
                      const QString& topMargin, bool portrait)
{
    page.setOrientation(portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    setMarginOrigin(page, numericValue(leftMargin), numericValue(topMargin), !portrait);
    drawHistoryCard(page, card, body, kHistoryPrintBodyCap);
    page.endDoc();
}

}  // namespace qelvaro
