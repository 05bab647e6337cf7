#pragma once

#include "PageSink.h"

#include <QFont>

namespace qelvaro {

// The toolkit font for a printed text. The face is found by name through the font substitutions
// the program installs at start (宋体, 黑体, 楷体_GB2312 … onto installed Chinese faces); the size
// stays in points, so it scales with the resolution of whatever device it is drawn on.
QFont printFont(const PageFont& font);

// Maps the Windows font names the settings and layouts use onto installed Chinese fonts, so text
// never shows as empty boxes.
void installFontSubstitutions();

}  // namespace qelvaro
