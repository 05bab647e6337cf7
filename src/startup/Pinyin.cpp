#include "Pinyin.h"

namespace qelvaro {

// Placeholder until the table lands.
char pinyinLetter(char32_t codePoint)
{
    if (codePoint >= '0' && codePoint <= '9')
        return char(codePoint);
    if (codePoint >= 'a' && codePoint <= 'z')
        return char(codePoint);
    if (codePoint >= 'A' && codePoint <= 'Z')
        return char(codePoint - 'A' + 'a');
    return 0;
}

QString pinyinInitial(QStringView text)
{
    if (text.isEmpty())
        return QString();
    const char c = pinyinLetter(text.toUcs4().value(0));
    return c ? QString(QChar(c)) : QString();
}

QString pinyinCode(QStringView text)
{
    QString code;
    for (const char32_t cp : text.toUcs4()) {
        if (cp == U' ')
            break;
        if (const char c = pinyinLetter(cp))
            code += QChar(c);
    }
    return code;
}

}  // namespace qelvaro
