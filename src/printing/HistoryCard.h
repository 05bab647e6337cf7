#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace qelvaro {

class Page;

// The outpatient history card (门诊病历卡) of the open prescription, as copied from the main window
// when the card window opens. Positions on the card are twips from its top-left corner.
struct HistoryCard {
    enum Value { Name, Sex, Age, Date, Address, Doctor, kValueCount };

    QString clinicName;
    std::array<QString, kValueCount> values;
    // The history record line by line as the card's history box displays it, wrapped pieces
    // included; an empty record is one empty line.
    QStringList historyLines;
};

// The card is 148 x 210 mm.
inline constexpr double kHistoryCardWidthTwips = 148 * 56.7;
inline constexpr int kHistoryCardWidth = 8391;
inline constexpr int kHistoryCardHeight = 11906;
// The history box: its width decides where the record wraps; its font is only for that.
inline constexpr int kHistoryBoxLeft = 1020;
inline constexpr int kHistoryBoxTop = 2880;
inline constexpr int kHistoryBoxWidth = 6855;
inline constexpr int kHistoryBoxHeight = 3855;
inline constexpr double kHistoryBoxPoints = 11.25;
// Prescription lines stand a little right of the history lines; both kinds are 90 twips apart.
inline constexpr double kHistoryBodyLeft = kHistoryBoxLeft + 650;
inline constexpr double kHistoryLineGap = 90;
// How many non-blank lines of the prescription body the card carries.
inline constexpr int kHistoryPreviewBodyCap = 15;
inline constexpr int kHistoryPrintBodyCap = 19;

// Draws the card at card positions: captions, values, rules, the history lines, then at most
// bodyCap non-blank lines of the prescription body. Nothing stops at the card's bottom rule.
void drawHistoryCard(Page& page, const HistoryCard& card, const QString& body, int bodyCap);

// Prints the card on a sheet: orientation and margins (millimetres as typed) first, the card
// with the print's cap of body lines, then the end of the job. A landscape card takes the right
// part of the sheet.
void printHistoryCard(Page& page, const HistoryCard& card, const QString& body, const QString& leftMargin,
                      const QString& topMargin, bool portrait);

}  // namespace qelvaro
