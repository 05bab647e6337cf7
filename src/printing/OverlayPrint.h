#pragma once

#include <QString>

#include <array>

namespace qelvaro {

class Page;

inline constexpr int kOverlayFieldCount = 17;
inline constexpr int kOverlayItemCount = 23;
// The item whose position the body takes; its tick is not consulted.
inline constexpr int kOverlayBodyItem = 13;
inline constexpr int kOverlayBodyCap = 14;
inline constexpr double kOverlayBodyGap = 90;

// What the overlay print needs, taken at the moment of printing: the heading field values by
// field index, the body, and the overlay settings as typed (millimetres).
struct OverlaySnapshot {
    struct Item {
        bool printed = false;
        QString left;
        QString top;
    };
    std::array<QString, kOverlayFieldCount> fields;
    QString body;
    QString left;  // global offset of the whole print
    QString top;
    std::array<Item, kOverlayItemCount> items;
    QString fontName;
    QString fontSize;
};

// Prints the ticked heading values and the body into the fields of a pre-printed form, each at
// its item's offsets plus the global offset. Draws no captions or rules. Ends the job.
void printOverlay(Page& page, const OverlaySnapshot& overlay);

}  // namespace qelvaro
