#pragma once

#include "ScreenCopy.h"

namespace qelvaro {

class Page;

// What the sheet print needs of the open prescription and of the settings, taken at the moment
// of printing. Positions are twips on the sheet surface.
struct SheetSnapshot {
    // Sheet labels 0..7, then field captions 0..16, then field values 0..16.
    QList<ScreenText> texts;
    // Sheet rules 0..9, then field underlines 0..16.
    QList<ScreenRule> rules;
    QString body;
    QPointF bodyPosition;

    // Settings as typed: margins in millimetres, orientation, body face and size.
    QString marginLeft;
    QString marginTop;
    bool portrait = true;
    QString fontName;
    QString fontSize;
};

inline constexpr double kSheetFactor = 1.2;
inline constexpr double kSheetFontOffset = 1;
inline constexpr int kSheetBodyCap = 20;
inline constexpr double kSheetBodyGap = 90;

// The prescription on blank paper as the sheet shows it, 1.2 times its screen size, at the
// margins; a landscape page carries it on its right half. Ends the job.
void printSheet(Page& page, const SheetSnapshot& sheet);

}  // namespace qelvaro
