#pragma once

#include "OutpatientLog.h"

#include <QList>
#include <QString>

namespace qelvaro {

class Page;

inline constexpr int kLogBookRowsPerPage = 20;

// Pages the log book takes: twenty visits a page, a part page counting as one more.
int logBookPageCount(qsizetype rows);

// Prints the log book onto a fresh page: landscape, millimetres, x 0 lying left mm right of and
// y 0 lying top − 10 mm below the corner of the printable area (margins as typed, read by their
// leading number). Every page carries the whole ruled frame of twenty rows, the title, the column
// captions and the footer with the doctor's name and the page count. Draws nothing for no rows.
void printOutpatientLogBook(Page& page, const QList<LogRow>& rows, const QString& leftMargin,
                            const QString& topMargin, const QString& doctor);

}  // namespace qelvaro
