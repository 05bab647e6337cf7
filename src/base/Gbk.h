#pragma once

#include <QList>
#include <QString>

#include <cstdint>

namespace qelvaro {

// The Chinese code page (936) as the program needs it: which characters take two bytes there
// (display width of the body grid, "double-byte" character tests) and byte order for sorting names.

// The code-page bytes of one Unicode code point: 0 when the code page cannot show it,
// 0x00..0x7F (and 0x80, the euro sign) for a single byte, lead << 8 | trail for two bytes.
std::uint16_t gbkCode(char32_t codePoint);

inline bool isGbkDoubleByte(char32_t codePoint) { return gbkCode(codePoint) > 0xFF; }

// Width of a text in code-page bytes: 2 for a double-byte character, 1 for any other.
int gbkWidth(const QString& text);

// Compares two UTF-8 texts by their code-page bytes (characters the code page lacks sort last,
// by code point). Returns <0, 0 or >0 as memcmp does.
int gbkCompare(const char* a, int lengthA, const char* b, int lengthB);

}  // namespace qelvaro
