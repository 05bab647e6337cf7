#include "LoginPassword.h"

#include "Database.h"

namespace qelvaro {

std::optional<StoredPassword> readLoginPassword(Database& records)
{
    Statement read = records.prepare(R"(SELECT rowid, "密码" FROM "密码" LIMIT 1)");
    if (!read.next() || read.isNull(1))
        return std::nullopt;
    return StoredPassword{read.integer(0), read.text(1)};
}

bool writeLoginPassword(Database& records, qint64 rowId, const QString& password)
{
    Statement write = records.prepare(R"(UPDATE "密码" SET "密码" = ? WHERE rowid = ?)");
    write.bindAll(password, rowId);
    return write.run() && records.changes() == 1;
}

}  // namespace qelvaro
