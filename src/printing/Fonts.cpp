#include "Fonts.h"

#include "TextRules.h"

namespace qelvaro {

QFont printFont(const PageFont& font)
{
    QFont result(trimBlanks(font.name));
    result.setPointSizeF(font.pointSize);
    result.setBold(font.bold);
    // Unhinted outlines scale linearly, so the measured width of a text is the printed one.
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::PreferOutline);
    return result;
}

}  // namespace qelvaro
