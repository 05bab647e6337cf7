#pragma once

#include "ScreenCopy.h"

#include <QList>
#include <QString>

namespace qelvaro {

class Page;

// What the infusion card print takes from its window at the press: every label and value box of
// the card surface (text, screen font, corner in twips on the surface, shown or not), the rules in
// twips on the surface, the margins as typed and the orientation chosen.
struct InfusionCardPrintout {
    QList<ScreenText> texts;
    QList<ScreenRule> rules;
    QString marginLeft;  // millimetres as typed
    QString marginTop;
    bool portrait = true;
};

// The card as the screen shows it, at its own size and fonts, shifted by the margins; landscape
// puts it on the right half of the sheet. Hidden items print nothing. Ends the job.
void printInfusionCard(Page& page, const InfusionCardPrintout& card);

}  // namespace qelvaro
