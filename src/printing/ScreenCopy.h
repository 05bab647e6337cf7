#pragma once

#include "PageSink.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>

namespace qelvaro {

class Page;

// A caption or field value as it stands on a window surface: its text, its screen font and the
// top-left corner of its control in twips on the surface (container offsets already added).
struct ScreenText {
    QString text;
    PageFont font;
    QPointF position;
    bool visible = true;
};

// A ruled line of a window surface, twips on the surface; the width is the screen border width.
struct ScreenRule {
    QLineF line;
    int width = 1;
    bool visible = true;
};

enum class ScreenCopy {
    AsShown,     // hidden items print nothing (their font or width still becomes current); rules
                 // bring their own width
    Everything,  // every item prints; rules draw with the width in force
};

// Prints each text at its position times factor, in its screen font enlarged by fontOffset points.
void printScreenTexts(Page& page, const QList<ScreenText>& texts, double factor, double fontOffset, ScreenCopy copy);
void drawScreenRules(Page& page, const QList<ScreenRule>& rules, double factor, ScreenCopy copy);

// The body font of the sheet and overlay prints: the typed face and size, never bold. A size that
// is not a plain number (blanks around it allowed) leaves the size in force, as does a face name
// or a size the page refuses.
void setBodyFont(Page& page, const QString& name, const QString& sizeText);

}  // namespace qelvaro
