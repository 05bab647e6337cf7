#pragma once

#include "EnumTable.h"

#include <QPixmap>

namespace qelvaro {

// The commands of the main window's toolbar, in the order the buttons stand on screen.
enum class ToolbarCommand { New = 0, Renew, Save, Print, Copy, Paste, Log, Statistics, OverlayPrint, Help, Count };
inline constexpr int kToolbarCommandCount = enumCount<ToolbarCommand>;

// A small picture for each toolbar command, drawn here so the program ships no image files.
QPixmap toolbarIcon(ToolbarCommand command, int size = 32);

}  // namespace qelvaro
