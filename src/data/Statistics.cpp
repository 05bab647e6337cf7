#include "Statistics.h"

#include "Database.h"
#include "Prescription.h"
#include "RecordStore.h"
#include "TextRules.h"

#include <QHash>

#include <cmath>

namespace qelvaro {

Statistics computeStatistics(Database* records, const QString& fromText, const QString& toText)
{
    Statistics result;
    const std::optional<QDate> from = parseVisitDate(fromText);
    const std::optional<QDate> to = parseVisitDate(toText);
    if (!from || !to) {
        result.problem = kBadDateRangeMessage;
        return result;
    }
    if (!records) {
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    // A clinic's fee texts repeat (the same consultation fee, the same few prices): each distinct
    // text is read as a number once.
    QHash<QString, double> values;
    const auto valueOf = [&values](const QString& text) {
        auto known = values.constFind(text);
        if (known == values.cend())
            known = values.insert(text, numericValue(text));
        return *known;
    };
    const bool read = RecordStore(records).readFees(*from, *to, [&](const QString& drugFee, const QString& otherFee) {
        ++result.prescriptions;
        result.turnover += valueOf(drugFee) + valueOf(otherFee);
    });
    if (!read) {
        result = {};
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.ok = true;
    return result;
}

QString turnoverText(double value)
{
    if (!std::isfinite(value) || value == 0)
        return QStringLiteral("0");
    // Fifteen significant digits, written out without an exponent, trailing zeros dropped.
    const int magnitude = int(std::floor(std::log10(std::abs(value))));
    QString text = QString::number(value, 'f', std::max(0, 14 - magnitude));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString statisticsText(const Statistics& statistics)
{
    if (statistics.prescriptions == 0)
        return kNoStatisticsText;
    return QStringLiteral("门诊处方数：%1张，业务额：%2元").arg(statistics.prescriptions).arg(turnoverText(statistics.turnover));
}

}  // namespace qelvaro
