#pragma once

#include "ListedRow.h"

#include <QList>
#include <QStringList>

namespace qelvaro::test {

// The texts of listed rows, in their order.
inline QStringList texts(const QList<ListedRow>& rows)
{
    QStringList result;
    for (const ListedRow& row : rows)
        result << row.text;
    return result;
}

// The texts a list shows (any list that gives its rows).
template <typename List>
QStringList listed(const List* list)
{
    return texts(list->rows());
}

}  // namespace qelvaro::test
