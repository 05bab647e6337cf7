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

double numericValue(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    bool any = i > digitsStart;
    if (i < n && text[i] == u'.') {
        const qsizetype fracStart = ++i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9')
            ++i;
        if (i == fracStart && !any)
            return 0;
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
        while (j < n && text[j] >= u'0' && text[j] <= u'9')
            ++j;
        if (j > expStart)
            i = j;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0;
}

QString shortestDecimal(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0)
        return QStringLiteral("0");  // no "-0"
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
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
