#include "PreparedStatements.h"

namespace qelvaro {

Statement& PreparedStatements::get(std::string_view sql)
{
    if (!m_db || !m_db->isOpen()) {
        // Statements of a closed connection would still reach the file: they are let go.
        m_prepared.clear();
        return m_closed;
    }
    auto it = m_prepared.find(sql.data());
    if (it == m_prepared.end())
        it = m_prepared.emplace(sql.data(), m_db->prepare(sql)).first;
    else
        it->second.reset();
    return it->second;
}

bool updateOrInsert(Database& db, Statement& update, Statement& insert,
                    const std::function<void(Statement&)>& bindValues)
{
    bindValues(update);
    if (!update.run())
        return false;
    if (db.changes() > 0)
        return true;
    bindValues(insert);
    return insert.run();
}

}  // namespace qelvaro
