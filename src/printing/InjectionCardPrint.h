#pragma once

#include "ScreenCopy.h"

namespace qelvaro {

class Page;

// What the injection-card print needs of the card preview and of the settings. Positions are
// twips on the preview surface.
struct InjectionCardSnapshot {
    QList<ScreenText> captions;  // card captions 0..6, by index
    QList<ScreenText> header;    // header values 0..4
    QString body;
    QPointF bodyPosition;
    QList<ScreenRule> rules;
    QString marginLeft;  // millimetres as typed
    QString marginTop;
};

inline constexpr double kCardFactor = 1.5;
inline constexpr double kCardFontOffset = 2;
inline constexpr int kCardBodyCap = 15;
inline constexpr double kCardBodyGap = 60;
inline constexpr double kCardBodyPoints = 12;

// The injection card 1.5 times its screen size at the card margins. Every caption, value and rule
// prints whether shown or not; the body prints in 宋体 12 with its blank lines. Ends the job.
void printInjectionCard(Page& page, const InjectionCardSnapshot& card);

}  // namespace qelvaro
