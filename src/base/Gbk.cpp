#include "Gbk.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <memory>

namespace qelvaro {
namespace {

// Built once from the C library's converter; 128 KiB, about 5 ms.
const std::array<std::uint16_t, 0x10000>& table()
{
    static const auto built = [] {
        auto t = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        t->fill(0);
        iconv_t cd = iconv_open("CP936", "UTF-32LE");
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            if (cd == iconv_t(-1)) {
                (*t)[c] = c < 0x80 ? std::uint16_t(c) : 0;
                continue;
            }
            unsigned char in[4] = {static_cast<unsigned char>(c & 0xFF),
                                   static_cast<unsigned char>((c >> 8) & 0xFF), 0, 0};
            unsigned char out[8];
            char* inPtr = reinterpret_cast<char*>(in);
            char* outPtr = reinterpret_cast<char*>(out);
            size_t inLeft = 4, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1))
                continue;
            const size_t n = sizeof out - outLeft;
            if (n == 1)
                (*t)[c] = out[0];
            else if (n == 2)
                (*t)[c] = std::uint16_t(out[0] << 8 | out[1]);
        }
        if (cd != iconv_t(-1))
            iconv_close(cd);
        (*t)[0] = 0;
        return t;
    }();
    return *built;
}

// Next code point of a UTF-8 text; malformed bytes come back one by one as U+FFFD.
char32_t nextCodePoint(const unsigned char*& p, const unsigned char* end)
{
    const unsigned char c = *p++;
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || end - p < extra)
        return 0xFFFD;
    char32_t cp = c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        cp = cp << 6 | (p[i] & 0x3F);
    }
    p += extra;
    return cp;
}

// Appends the sort bytes of one code point to buf and returns how many were written.
int sortBytes(char32_t cp, unsigned char* buf)
{
    if (cp == 0) {
        buf[0] = 0;
        return 1;
    }
    const std::uint16_t code = gbkCode(cp);
    if (code == 0) {
        buf[0] = 0xFF;
        buf[1] = 0xFF;
        buf[2] = static_cast<unsigned char>(cp >> 16);
        buf[3] = static_cast<unsigned char>(cp >> 8);
        buf[4] = static_cast<unsigned char>(cp);
        return 5;
    }
    if (code <= 0xFF) {
        buf[0] = static_cast<unsigned char>(code);
        return 1;
    }
    buf[0] = static_cast<unsigned char>(code >> 8);
    buf[1] = static_cast<unsigned char>(code);
    return 2;
}

}  // namespace

std::uint16_t gbkCode(char32_t codePoint)
{
    if (codePoint < 0x80)
        return std::uint16_t(codePoint);
    if (codePoint >= 0x10000)
        return 0;
    return table()[codePoint];
}

int gbkWidth(const QString& text)
{
    int width = 0;
    for (const char32_t cp : text.toUcs4())
        width += isGbkDoubleByte(cp) ? 2 : 1;
    return width;
}

int gbkCompare(const char* a, int lengthA, const char* b, int lengthB)
{
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const auto endA = pa + lengthA;
    const auto endB = pb + lengthB;
    unsigned char bufA[5], bufB[5];
    int nA = 0, nB = 0, iA = 0, iB = 0;
    for (;;) {
        if (iA == nA) {
            if (pa == endA)
                break;
            nA = sortBytes(nextCodePoint(pa, endA), bufA);
            iA = 0;
        }
        if (iB == nB) {
            if (pb == endB)
                break;
            nB = sortBytes(nextCodePoint(pb, endB), bufB);
            iB = 0;
        }
        if (bufA[iA] != bufB[iB])
            return bufA[iA] < bufB[iB] ? -1 : 1;
        ++iA;
        ++iB;
    }
    const bool aDone = iA == nA && pa == endA;
    const bool bDone = iB == nB && pb == endB;
    return aDone == bDone ? 0 : aDone ? -1 : 1;
}

}  // namespace qelvaro
