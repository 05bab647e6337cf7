#pragma once

#include <QString>

#include <optional>

namespace qelvaro {

class Database;

// The print settings that a card or log window keeps for itself in the settings row, in the
// columns with its own suffix (3 the infusion card, 4 the history card, 6 the outpatient log):
// the left and top margin as typed and the orientation column ("1" portrait, anything else
// landscape).
struct OwnPrintSettings {
    QString left;
    QString top;
    QString orientation;
    bool operator==(const OwnPrintSettings&) const = default;
};

// Reads the columns of one suffix; a null column reads as the empty text. No value when the row
// cannot be read: a window that got none must not write its boxes back over the stored values.
std::optional<OwnPrintSettings> readOwnPrintSettings(Database* settings, int suffix);

// Writes the margins (and the orientation too, when withOrientation) of one suffix into the
// settings row. False when there is no database or row, or the database refused the values.
bool writeOwnPrintSettings(Database* settings, int suffix, const OwnPrintSettings& values, bool withOrientation);

}  // namespace qelvaro
