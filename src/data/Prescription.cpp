#include "Prescription.h"

#include "Pinyin.h"
#include "TextRules.h"

#include <cmath>

namespace qelvaro {
namespace {

bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Parses an unsigned run of ASCII digits of the given length range.
std::optional<int> digits(QStringView text, int minLength, int maxLength)
{
    if (text.size() < minLength || text.size() > maxLength)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

qsizetype characterCount(const QString& text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()))
            ++n;
    }
    return n;
}

QString titleOfKind(const QString& kind)
{
    if (kind == u"中医")
        return QStringLiteral("中医处方笺");
    if (kind == u"儿科")
        return QStringLiteral("儿科处方笺");
    return kDefaultTitle;
}

QString recordKey(const QDateTime& time) { return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

QString caseNumber(const QDateTime& time) { return time.toString(QStringLiteral("yyyyMMddHHmmss")); }

std::optional<double> readPlainNumber(const QString& text)
{
    const QString t = trimBlanks(text);
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    const qsizetype intStart = i;
    while (i < t.size() && isAsciiDigit(t[i]))
        ++i;
    qsizetype digitCount = i - intStart;
    if (i < t.size() && t[i] == u'.') {
        ++i;
        const qsizetype fracStart = i;
        while (i < t.size() && isAsciiDigit(t[i]))
            ++i;
        digitCount += i - fracStart;
    }
    if (digitCount == 0 || i != t.size())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);  // the C locale's grammar, which the check above keeps to
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString birthYear(const QString& age, int currentYear)
{
    QString years = age;
    years.remove(u'岁').remove(u'Y').remove(u'y');
    return shortestDecimal(double(currentYear) - readPlainNumber(years).value_or(0.0));
}

QString patientKey(const QString& name, const QString& birthYear)
{
    return name + pinyinCode(trimBlanks(name)) + birthYear;
}

QString recordListItemText(const QString& name, const QString& sex, const QString& age,
                           const QString& date)
{
    return name + u'[' + sex + u',' + age + u',' + date + u']';
}

std::optional<QDate> parseVisitDate(const QString& text)
{
    const QString t = trimBlanks(text);
    const QChar separator = t.contains(u'-') ? u'-' : u'/';
    const QList<QStringView> parts = QStringView(t).split(separator);
    if (parts.size() != 3)
        return std::nullopt;
    const auto year = digits(parts[0], 4, 4);
    const auto month = digits(parts[1], 1, 2);
    const auto day = digits(parts[2], 1, 2);
    if (!year || !month || !day || *year == 0)
        return std::nullopt;
    const QDate date(*year, *month, *day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString isoDate(const QDate& date) { return date.toString(QStringLiteral("yyyy-MM-dd")); }

QDate fiveYearsBefore(const QDate& date)
{
    // Qt moves an invalid day to the month's last day, which is what 29 February needs.
    return date.addYears(-5);
}

}  // namespace qelvaro
