#pragma once

#include <QPixmap>

namespace qelvaro {

// The commands of the main window's toolbar, in the order the buttons stand on screen.
enum class ToolbarCommand { New = 0, Renew, Save, Print, Copy, Paste, Log, Statistics, OverlayPrint, Help };
inline constexpr int kToolbarCommandCount = 10;

// A small picture for each toolbar command, drawn here so the program ships no image files.
QPixmap toolbarIcon(ToolbarCommand command, int size = 32);

}  // namespace qelvaro
