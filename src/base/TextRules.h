#pragma once

#include <QString>
#include <QStringList>

namespace qelvaro {

// "Blank" is the ASCII space only: tabs, line breaks and the ideographic space stay.
QString trimBlanks(const QString& text);
QString trimLeadingBlanks(const QString& text);
QString trimTrailingBlanks(const QString& text);

// The leading decimal number of a text, blanks before it skipped: "12mm" -> 12, " 12.5" -> 12.5,
// "-3x" -> -3, "abc" or "" -> 0. Never NaN or infinite.
double numericValue(const QString& text);

// Shortest decimal text of a number: 26 -> "26", 12.5 -> "12.5".
QString shortestDecimal(double value);

// Multi-line texts are stored with CR LF; any line break (CR LF, LF, CR, U+2029) is accepted.
QString toStoredLineBreaks(const QString& text);
QStringList splitLines(const QString& text);

}  // namespace qelvaro
