#include "OutpatientLog.h"

#include "Database.h"
#include "Prescription.h"

#include <utility>

namespace qelvaro {

namespace {

// The typed range, or no value after setting the problem: no dates, or nothing to read them from.
std::optional<std::pair<QDate, QDate>> typedRange(Database* records, const QString& fromText, const QString& toText,
                                                  QString* problem)
{
    const std::optional<QDate> from = parseVisitDate(fromText);
    const std::optional<QDate> to = parseVisitDate(toText);
    if (!from || !to) {
        *problem = kBadDateRangeMessage;
        return std::nullopt;
    }
    if (!records) {
        *problem = kRecordsUnavailableMessage;
        return std::nullopt;
    }
    return std::pair{*from, *to};
}

}  // namespace

LogRowIds queryOutpatientLogRowIds(Database* records, const QString& fromText, const QString& toText)
{
    LogRowIds result;
    const auto range = typedRange(records, fromText, toText, &result.problem);
    if (!range)
        return result;
    std::optional<QList<qint64>> ids = RecordStore(records).visitRowIds(range->first, range->second);
    if (!ids) {
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.ids = std::move(*ids);
    result.ok = true;
    return result;
}

LogRow readLogRow(Database* records, qint64 rowId)
{
    return RecordStore(records).visit(rowId);
}

LogQuery queryOutpatientLog(Database* records, const QString& fromText, const QString& toText)
{
    LogQuery result;
    const auto range = typedRange(records, fromText, toText, &result.problem);
    if (!range)
        return result;
    std::optional<QList<LogRow>> rows = RecordStore(records).visits(range->first, range->second);
    if (!rows) {
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.rows = std::move(*rows);
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
