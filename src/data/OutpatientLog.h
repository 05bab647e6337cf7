#pragma once

#include "RecordStore.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

namespace qelvaro {

inline const QString kLogCountCaption = QStringLiteral("记录数：0");
inline const QString kLogCountPrefix = QStringLiteral("计录数：");

// One visit of the outpatient log is a LogRow (RecordStore.h).

struct LogQuery {
    bool ok = false;
    QString problem;  // a message for the doctor when !ok
    QList<LogRow> rows;
};

// The visits whose date lies in [from, to], both ends included, in ascending date. The two texts
// are the date boxes as typed; a text that is no date gives the date-range message and no query.
LogQuery queryOutpatientLog(Database* records, const QString& fromText, const QString& toText);

// The row ids of the same visits in the same order, for a list that reads each row only when it
// shows it: the range is read from the date index alone.
struct LogRowIds {
    bool ok = false;
    QString problem;
    QList<qint64> ids;
};
LogRowIds queryOutpatientLogRowIds(Database* records, const QString& fromText, const QString& toText);

// One visit by its row id; an empty row when it is gone (deleted since the query) or unreadable.
LogRow readLogRow(Database* records, qint64 rowId);

// The same month day one month earlier (its last day when the month is shorter).
QDate oneMonthBefore(const QDate& day);

// Extends the text with blanks until it is wider than width (both in the unit of measure); a
// text already wider comes back unchanged, never cut.
QString padToWidth(QString text, double width, const std::function<double(const QString&)>& measure);

// The log list's line of one visit; measure gives a text's width in twips in the list's font.
QString logListLine(const LogRow& row, const std::function<double(const QString&)>& measure);

}  // namespace qelvaro
