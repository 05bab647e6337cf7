#include "InfusionCardPrint.h"

#include "Page.h"
#include "TextRules.h"

namespace qelvaro {

void printInfusionCard(Page& page, const InfusionCardPrintout& card)
{
    page.setOrientation(card.portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    setMarginOrigin(page, numericValue(card.marginLeft), numericValue(card.marginTop), !card.portrait);
    printScreenTexts(page, card.texts, 1.0, 0, ScreenCopy::AsShown);
    drawScreenRules(page, card.rules, 1.0, ScreenCopy::AsShown);
    page.endDoc();
}

}  // namespace qelvaro
