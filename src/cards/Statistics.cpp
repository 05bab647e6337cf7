#include "Statistics.h"

#include "Database.h"
#include "Prescription.h"
#include "RecordStore.h"
#include "TextRules.h"

#include <cmath>

namespace qelvaro {

namespace {

constexpr std::string_view kStatisticsQuery = R"(SELECT "13", "14" FROM "档案" WHERE "9" BETWEEN ? AND ?)";

}  // namespace

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
    Statement st = records->prepare(kStatisticsQuery);
    st.bindAll(isoDate(*from), isoDate(*to));
    while (st.next()) {
        ++result.prescriptions;
        result.turnover += numericValue(st.text(0)) + numericValue(st.text(1));
    }
    if (!st.ok()) {
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
