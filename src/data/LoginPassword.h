#pragma once

#include <QString>

#include <optional>

namespace qelvaro {

class Database;

// The login password: the one row of table 密码 in the records file. Its SQL is here only.
struct StoredPassword {
    qint64 rowId = 0;
    QString text;
};

// The row's password; no value when there is no row or the password is null.
std::optional<StoredPassword> readLoginPassword(Database& records);

// Writes the new password into that row; true only when exactly that row took it.
bool writeLoginPassword(Database& records, qint64 rowId, const QString& password);

}  // namespace qelvaro
