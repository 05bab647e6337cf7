#include "OutpatientLogBook.h"

#include "Page.h"
#include "TextRules.h"

#include <array>

namespace qelvaro {

namespace {

const QString kFace = QStringLiteral("宋体");
const QString kTitle = QStringLiteral("门 诊 日 志 登 记 本");

constexpr double kFrameTop = 30;
constexpr double kBandHeight = 7;
constexpr double kFrameBottom = kFrameTop + kBandHeight * (kLogBookRowsPerPage + 1);  // 177
constexpr double kFrameRight = 240;
constexpr std::array<double, 8> kColumnRules{0, 25, 35, 47, 100, 170, 207, 240};

struct Column {
    const char16_t* caption;
    double captionX;
    double valueX;  // negative: the column stays empty
};

constexpr std::array<Column, 7> kColumns{{
    {u"姓    名", 2, 2},
    {u"性别", 26, 28},
    {u"年龄", 36, 36},
    {u"诊            断", 55, 48},
    {u"地            址", 117, 101},
    {u"就诊时间", 179, 171},
    {u"备    注", 214, -1},
}};

void textAt(Page& page, double x, double y, const QString& text)
{
    page.setCurrentX(x);
    page.setCurrentY(y);
    page.print(text, Page::Advance::StayOnLine);
}

void drawFurniture(Page& page, int pageNumber, int pageTotal, const QString& doctor)
{
    for (int i = 0; i <= kLogBookRowsPerPage + 1; ++i)
        page.line(0, kFrameTop + kBandHeight * i, kFrameRight, kFrameTop + kBandHeight * i);
    for (const double x : kColumnRules)
        page.line(x, kFrameTop, x, kFrameBottom);

    page.setFontName(kFace);
    page.setFontBold(true);
    page.setFontSize(22);
    textAt(page, 80, 20, kTitle);
    page.setFontSize(12);
    for (const Column& column : kColumns)
        textAt(page, column.captionX, 32, QString::fromUtf16(column.caption));
    textAt(page, 0, kFrameBottom + 1, QStringLiteral("医生：") + doctor);
    textAt(page, 215, kFrameBottom + 1, QStringLiteral("第%1页共%2页").arg(pageNumber).arg(pageTotal));
}

}  // namespace

int logBookPageCount(qsizetype rows)
{
    return int((rows + kLogBookRowsPerPage - 1) / kLogBookRowsPerPage);
}

void printOutpatientLogBook(Page& page, const QList<LogRow>& rows, const QString& leftMargin,
                            const QString& topMargin, const QString& doctor)
{
    if (rows.isEmpty())
        return;
    page.setUnit(Page::Unit::Millimetres);
    page.setScaleLeft(-numericValue(leftMargin));
    page.setScaleTop(10 - numericValue(topMargin));
    page.setOrientation(QPageLayout::Landscape);

    const int pageTotal = logBookPageCount(rows.size());
    int pageNumber = 1;
    drawFurniture(page, pageNumber, pageTotal, doctor);
    int onPage = 0;
    double y = kFrameTop + 9;
    for (const LogRow& row : rows) {
        if (++onPage > kLogBookRowsPerPage) {
            onPage = 1;
            page.newPage();
            drawFurniture(page, ++pageNumber, pageTotal, doctor);
            y = kFrameTop + 9;
        }
        page.setFontBold(false);
        const std::array<const QString*, 6> values{&row.name, &row.sex, &row.age, &row.diagnosis, &row.address,
                                                  &row.date};
        for (size_t i = 0; i < values.size(); ++i) {
            if (!values[i]->isEmpty())
                textAt(page, kColumns[i].valueX, y, *values[i]);
        }
        y += kBandHeight;
    }
}

}  // namespace qelvaro
