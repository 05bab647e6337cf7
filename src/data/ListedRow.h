#pragma once

#include <QString>

namespace qelvaro {

// One item of a list: the text shown and the row it stands for, so what is done with the item acts
// on exactly that row whatever was listed or written since.
struct ListedRow {
    qint64 rowId = 0;
    QString text;

    bool operator==(const ListedRow&) const = default;
};

}  // namespace qelvaro
