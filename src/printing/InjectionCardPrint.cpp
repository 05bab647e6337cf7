#include "InjectionCardPrint.h"

#include "Page.h"
#include "TextRules.h"

namespace qelvaro {

void printInjectionCard(Page& page, const InjectionCardSnapshot& card)
{
    setMarginOrigin(page, numericValue(card.marginLeft), numericValue(card.marginTop), false);
    printScreenTexts(page, card.captions, kCardFactor, kCardFontOffset, ScreenCopy::Everything);
    printScreenTexts(page, card.header, kCardFactor, kCardFontOffset, ScreenCopy::Everything);

    page.setFontName(QStringLiteral("宋体"));
    page.setFontBold(false);
    page.setFontSize(kCardBodyPoints);
    printBodyText(page, card.body, card.bodyPosition.x() * kCardFactor, card.bodyPosition.y() * kCardFactor,
                  kCardBodyCap, BlankLines::Print, kCardBodyGap);

    drawScreenRules(page, card.rules, kCardFactor, ScreenCopy::Everything);
    page.endDoc();
}

}  // namespace qelvaro
