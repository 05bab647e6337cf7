#include "OutpatientLog.h"

#include "Database.h"
#include "Prescription.h"
#include "RecordStore.h"

namespace qelvaro {

namespace {

// The index on ("9", "0") serves both the range and the order.
constexpr std::string_view kLogQuery =
    R"(SELECT "0", "1", "2", "8", "6", "9" FROM "档案" WHERE "9" BETWEEN ? AND ? ORDER BY "9")";

}  // namespace

LogQuery queryOutpatientLog(Database* records, const QString& fromText, const QString& toText)
{
    LogQuery result;
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
    Statement st = records->prepare(kLogQuery);
    st.bindAll(isoDate(*from), isoDate(*to));
    while (st.next())
        result.rows.append({st.text(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)});
    if (!st.ok()) {
        result.rows.clear();
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.ok = true;
    return result;
}

QDate oneMonthBefore(const QDate& day) { return day.addMonths(-1); }

QString padToWidth(QString text, double width, const std::function<double(const QString&)>& measure)
{
    // Grows by the width of a blank at a time; a measure that gives nothing for a blank must not
    // loop for ever, so the number of blanks is bounded by what the width can hold at all.
    const double blank = measure(QStringLiteral(" "));
    if (blank <= 0)
        return text;
    for (int guard = int(width / blank) + 2; measure(text) <= width && guard > 0; --guard)
        text += u' ';
    return text;
}

QString logListLine(const LogRow& row, const std::function<double(const QString&)>& measure)
{
    return u' ' + padToWidth(row.name, 1285, measure) + padToWidth(row.sex, 515, measure) +
           padToWidth(row.age, 635, measure) + padToWidth(row.diagnosis, 3875, measure) +
           padToWidth(row.address, 3875, measure) + row.date;
}

}  // namespace qelvaro
