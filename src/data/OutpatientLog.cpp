#include "OutpatientLog.h"

#include "Database.h"
#include "Prescription.h"
#include "RecordStore.h"

namespace qelvaro {

namespace {

// The index on ("9", "0") serves the range and the order (date, then name, then row) without a
// sort; the row-id query reads nothing else.
constexpr std::string_view kLogQuery = R"(SELECT "0", "1", "2", "8", "6", "9" FROM "档案"
    WHERE "9" BETWEEN ? AND ? ORDER BY "9", "0", rowid)";
constexpr std::string_view kLogRowIdQuery =
    R"(SELECT rowid FROM "档案" WHERE "9" BETWEEN ? AND ? ORDER BY "9", "0", rowid)";
constexpr std::string_view kLogRowQuery = R"(SELECT "0", "1", "2", "8", "6", "9" FROM "档案" WHERE rowid = ?)";

LogRow logRowOf(const Statement& st)
{
    return {st.text(0), st.text(1), st.text(2), st.text(3), st.text(4), st.text(5)};
}

// Checks the typed range and prepares the query over it; no statement when there is none to run.
std::optional<Statement> rangeQuery(Database* records, std::string_view sql, const QString& fromText,
                                    const QString& toText, QString* problem)
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
    Statement st = records->prepare(sql);
    st.bindAll(isoDate(*from), isoDate(*to));
    return st;
}

}  // namespace

LogRowIds queryOutpatientLogRowIds(Database* records, const QString& fromText, const QString& toText)
{
    LogRowIds result;
    std::optional<Statement> st = rangeQuery(records, kLogRowIdQuery, fromText, toText, &result.problem);
    if (!st)
        return result;
    while (st->next())
        result.ids.append(st->integer(0));
    if (!st->ok()) {
        result.ids.clear();
        result.problem = kRecordsUnavailableMessage;
        return result;
    }
    result.ok = true;
    return result;
}

LogRow readLogRow(Database* records, qint64 rowId)
{
    if (!records)
        return {};
    Statement st = records->prepare(kLogRowQuery);
    st.bind(1, rowId);
    return st.next() ? logRowOf(st) : LogRow{};
}

LogQuery queryOutpatientLog(Database* records, const QString& fromText, const QString& toText)
{
    LogQuery result;
    std::optional<Statement> query = rangeQuery(records, kLogQuery, fromText, toText, &result.problem);
    if (!query)
        return result;
    Statement& st = *query;
    while (st.next())
        result.rows.append(logRowOf(st));
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
