#pragma once

#include "EnumTable.h"

namespace qelvaro {

// Every command of the main window's menus, the menu bar's and the body's right-click menu.
// The main window keeps one table from a command to its menu item and, where it has one, its
// toolbar button; the parts of the editor and the composition give each command its work.
enum class Command {
    New = 0,
    Renew,
    Save,
    Statistics,
    OutpatientLog,
    Print,
    OverlayPrint,
    Exit,
    Drugs,
    Sets,
    Diagnoses,
    HistoryTemplates,
    Addresses,
    Settings,
    Help,
    About,
    BodyCut,
    BodyCopy,
    BodyPaste,
    BodyDelete,
    CopyToCard,
    AddToSets,
    Drip,
    Intramuscular,
    Intravenous,
    DripTube,
    Count
};
inline constexpr int kCommandCount = enumCount<Command>;

}  // namespace qelvaro
