#include "TextRules.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace qelvaro {

QString trimLeadingBlanks(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ')
        ++start;
    return text.mid(start);
}

QString trimTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

QString trimBlanks(const QString& text) { return trimLeadingBlanks(trimTrailingBlanks(text)); }

namespace {

bool isDecimalDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The value of the digits of a &H or &O number, read up to the first character that is not one.
double radixValue(const QString& digits, int radix)
{
    double value = 0;
    for (const QChar c : digits) {
        int digit = -1;
        if (isDecimalDigit(c))
            digit = c.unicode() - u'0';
        else if (radix == 16 && c.toLower() >= u'a' && c.toLower() <= u'f')
            digit = c.toLower().unicode() - u'a' + 10;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

}  // namespace

double numericValue(const QString& typed)
{
    // Blanks, tabs and line feeds inside a number are typing noise: "1 2" is 12.
    QString text;
    text.reserve(typed.size());
    for (const QChar c : typed) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            text += c;
    }
    const qsizetype n = text.size();
    double value = 0;
    if (n >= 2 && text[0] == u'&' && (text[1] == u'H' || text[1] == u'h')) {
        value = radixValue(text.mid(2), 16);
    } else if (n >= 2 && text[0] == u'&' && (text[1] == u'O' || text[1] == u'o')) {
        value = radixValue(text.mid(2), 8);
    } else {
        qsizetype i = 0;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        const qsizetype digitsStart = i;
        while (i < n && isDecimalDigit(text[i]))
            ++i;
        bool any = i > digitsStart;
        if (i < n && text[i] == u'.') {
            const qsizetype fracStart = ++i;
            while (i < n && isDecimalDigit(text[i]))
                ++i;
            any = any || i > fracStart;
        }
        if (!any)
            return 0;
        // An exponent counts only when digits follow it ("1e3" is 1000, "1em" is 1).
        if (i < n && (text[i] == u'e' || text[i] == u'E')) {
            qsizetype j = i + 1;
            if (j < n && (text[j] == u'+' || text[j] == u'-'))
                ++j;
            const qsizetype expStart = j;
            while (j < n && isDecimalDigit(text[j]))
                ++j;
            if (j > expStart)
                i = j;
        }
        // The C locale reads the point as the decimal separator whatever the user's locale is.
        bool ok = false;
        value = QLocale::c().toDouble(QStringView(text).left(i), &ok);
        if (!ok)
            return 0;
    }
    // Past the range of a double there is no number a margin or a fee could mean.
    return std::isfinite(value) ? value : 0;
}

QString shortestDecimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0)
        return QStringLiteral("0");  // no "-0"
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<int> plainDigits(const QString& text)
{
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString toStoredLineBreaks(const QString& text) { return splitLines(text).join(QStringLiteral("\r\n")); }

QStringList splitLines(const QString& text)
{
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            lines << current;
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current += c;
        }
    }
    lines << current;
    return lines;
}

}  // namespace qelvaro
