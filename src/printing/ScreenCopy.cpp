#include "ScreenCopy.h"

#include "Page.h"
#include "TextRules.h"

#include <QLocale>

namespace qelvaro {

void printScreenTexts(Page& page, const QList<ScreenText>& texts, double factor, double fontOffset, ScreenCopy copy)
{
    for (const ScreenText& t : texts) {
        page.setFontName(t.font.name);
        page.setFontBold(t.font.bold);
        page.setFontSize(t.font.pointSize + fontOffset);
        page.setCurrentX(t.position.x() * factor);
        page.setCurrentY(t.position.y() * factor);
        if (t.visible || copy == ScreenCopy::Everything)
            page.print(t.text);
    }
}

void drawScreenRules(Page& page, const QList<ScreenRule>& rules, double factor, ScreenCopy copy)
{
    for (const ScreenRule& r : rules) {
        if (copy == ScreenCopy::AsShown) {
            page.setDrawWidth(r.width);
            if (!r.visible)
                continue;
        }
        page.line(r.line.x1() * factor, r.line.y1() * factor, r.line.x2() * factor, r.line.y2() * factor);
    }
}

void setBodyFont(Page& page, const QString& name, const QString& sizeText)
{
    page.setFontName(name);
    page.setFontBold(false);
    bool ok = false;
    const double size = QLocale::c().toDouble(trimBlanks(sizeText), &ok);
    if (ok)
        page.setFontSize(size);
}

}  // namespace qelvaro
