#pragma once

#include <string_view>

namespace qelvaro {

// An SQL text of this code with a name, so a benchmark can show how the database runs it.
struct NamedQuery {
    enum class Target { Records, Settings };
    const char* name;
    std::string_view sql;
    Target database = Target::Records;
};

}  // namespace qelvaro
