#pragma once

#include "Database.h"

#include <functional>
#include <map>
#include <string_view>

namespace qelvaro {

// Statements prepared once on a connection and run again, kept by their SQL text's address (the
// texts are constants of the store that asks).
class PreparedStatements {
public:
    explicit PreparedStatements(Database* db) : m_db(db) {}

    // The statement of this SQL text, prepared once on the connection and ready to run again;
    // an invalid statement once the connection is closed.
    Statement& get(std::string_view sql);

private:
    Database* m_db;
    std::map<const char*, Statement> m_prepared;
    Statement m_closed;
};

// Updates the rows found by the statement's key or, when there is none, inserts one.
bool updateOrInsert(Database& db, Statement& update, Statement& insert,
                    const std::function<void(Statement&)>& bindValues);

}  // namespace qelvaro
