#include "SheetPrint.h"

#include "Page.h"
#include "TextRules.h"

namespace qelvaro {

void printSheet(Page& page, const SheetSnapshot& sheet)
{
    page.setOrientation(sheet.portrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    setMarginOrigin(page, numericValue(sheet.marginLeft), numericValue(sheet.marginTop), !sheet.portrait);
    printScreenTexts(page, sheet.texts, kSheetFactor, kSheetFontOffset, ScreenCopy::AsShown);
    drawScreenRules(page, sheet.rules, kSheetFactor, ScreenCopy::AsShown);
    setBodyFont(page, sheet.fontName, sheet.fontSize);
    printBodyText(page, sheet.body, sheet.bodyPosition.x() * kSheetFactor, sheet.bodyPosition.y() * kSheetFactor,
                  kSheetBodyCap, BlankLines::Skip, kSheetBodyGap);
    page.endDoc();
}

}  // namespace qelvaro
