#include "Pinyin.h"

#include "Gbk.h"

#include <QFile>

#include <array>
#include <memory>
#include <utility>

// The table is a resource of the static library qelvaro_base; a program that links the library
// (the build-time template tool, the tests) registers it here before the first read. Registering
// twice is harmless. Outside the namespace, as Q_INIT_RESOURCE requires.
static void registerPinyinResource()
{
    Q_INIT_RESOURCE(pinyin);
}

namespace qelvaro {
namespace {

constexpr char kBlockLetters[] = "abcdefghjklmnopqrstwxyz";

using LetterTable = std::array<char, 0x10000>;

// One entry per BMP code unit: the digit, the lower-case letter, the initial of a double-byte
// character (the first block of the table in the order a..z that holds it), or 0. Surrogate code
// units stay 0, so a character outside the BMP adds nothing.
void fillTable(LetterTable& t)
{
    for (char c = '0'; c <= '9'; ++c)
        t[std::size_t(c)] = c;
    for (char c = 'a'; c <= 'z'; ++c) {
        t[std::size_t(c)] = c;
        t[std::size_t(c - 'a' + 'A')] = c;
    }

    registerPinyinResource();
    QFile file(QStringLiteral(":/pinyin/initials.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return;  // no table: Chinese characters add nothing
    const QString text = QString::fromUtf8(file.readAll());

    // Lines "letter:characters"; a block may span several lines, in any order in the file.
    std::array<QList<QStringView>, sizeof kBlockLetters - 1> blocks;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.size() < 2 || line[1] != u':')
            continue;
        const char16_t letter = line[0].unicode();
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (letter == char16_t(kBlockLetters[b]))
                blocks[b].append(line.mid(2));
        }
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        for (QStringView chars : blocks[b]) {
            for (const QChar ch : chars) {
                const char16_t u = ch.unicode();
                if (t[u] == 0 && !ch.isSurrogate() && isGbkDoubleByte(u))
                    t[u] = kBlockLetters[b];
            }
        }
    }
}

const LetterTable& table()
{
    // Built once, on first use, by whichever thread comes first (a thread-safe static).
    static const std::unique_ptr<const LetterTable> built = [] {
        auto t = std::make_unique<LetterTable>();  // zero-filled
        fillTable(*t);
        return std::unique_ptr<const LetterTable>(std::move(t));
    }();
    return *built;
}

}  // namespace

char pinyinLetter(char32_t codePoint)
{
    return codePoint < 0x10000 ? table()[codePoint] : 0;
}

QString pinyinInitial(QStringView text)
{
    if (text.isEmpty())
        return QString();
    // A surrogate pair (or a lone surrogate) is never in the table: nothing.
    const char c = table()[text.front().unicode()];
    return c ? QString(QChar(c)) : QString();
}

QString pinyinCode(QStringView text)
{
    // Only the ASCII blank ends the scan (not U+3000, tabs or line breaks).
    qsizetype size = text.indexOf(u' ');
    if (size < 0)
        size = text.size();
    if (size == 0)
        return QString();

    const LetterTable& t = table();
    const char16_t* const in = text.utf16();
    QString code(size, Qt::Uninitialized);
    QChar* const out = code.data();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        // UTF-16 code units straight into the table: both halves of a surrogate pair, and a
        // lone surrogate, give 0, as every character outside the BMP must.
        const char c = t[in[i]];
        out[n] = QChar(char16_t(c));
        n += c != 0;
    }
    code.truncate(n);
    if (size > 4096 && n < size / 2)
        code.squeeze();
    return code;
}

}  // namespace qelvaro
