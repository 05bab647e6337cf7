#pragma once

#include <QList>
#include <QString>
#include <QStringView>

namespace qelvaro {

// The search code of a text: the lower-case initials of its characters up to the first ASCII
// blank. Digits stay, Latin letters are lower-cased, Chinese characters give the initial of their
// Mandarin reading, everything else adds nothing. Never fails, whatever the input.
QString pinyinCode(QStringView text);

// The initial of the first character of the text: a digit, a lower-case letter, or empty.
QString pinyinInitial(QStringView text);

// The initial of one code point, or 0 when it has none. O(1).
char pinyinLetter(char32_t codePoint);

}  // namespace qelvaro
