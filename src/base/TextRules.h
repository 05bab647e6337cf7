#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qelvaro {

// "Blank" is the ASCII space only: tabs, line breaks and the ideographic space stay.
QString trimBlanks(const QString& text);
QString trimLeadingBlanks(const QString& text);
QString trimTrailingBlanks(const QString& text);

// The number a text begins with, read the same way for every margin, offset and fee: blanks, tabs
// and line feeds are skipped wherever they stand ("1 2" -> 12); then an optional sign, digits with
// at most one point and an optional exponent, up to the first character that cannot continue them
// ("12.5mm" -> 12.5, "1e3" -> 1000); "&H" and "&O" read a hexadecimal or octal number ("&HFF" ->
// 255). The point is the separator whatever the locale. No leading number ("abc", "") gives 0, and
// so does a number too large for a double: the result is never NaN or infinite.
double numericValue(const QString& text);

// Shortest decimal text of a number: 26 -> "26", 12.5 -> "12.5".
QString shortestDecimal(double value);

// The value of a text of one to six ASCII digits and nothing else, as the program writes a birth
// year; no value for any other text. A quick reading for the common case of a list of patients.
std::optional<int> plainDigits(const QString& text);

// Multi-line texts are stored with CR LF; any line break (CR LF, LF, CR, U+2029) is accepted.
QString toStoredLineBreaks(const QString& text);
QStringList splitLines(const QString& text);

}  // namespace qelvaro
