#pragma once

#include "InjectionCardPrint.h"
#include "OverlayPrint.h"
#include "SettingsCopy.h"
#include "SheetPrint.h"

namespace qelvaro {

class MainWindow;

// The printouts' view of the main window at this moment, taken from its real controls, with the
// settings of the working copy (unsaved edits of an open settings window included).
SheetSnapshot sheetSnapshot(const MainWindow& window, const SettingsCopy::Values& settings);
OverlaySnapshot overlaySnapshot(const MainWindow& window, const SettingsCopy::Values& settings);
InjectionCardSnapshot injectionCardSnapshot(const MainWindow& window, const SettingsCopy::Values& settings);

}  // namespace qelvaro
