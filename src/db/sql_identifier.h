// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace kestrelmoor::db {

// `name` quoted as a MySQL identifier: between grave accents, each grave accent inside it doubled, so
// that every name the server lists can be queried and no name can change the statement.
inline std::string QuoteIdentifier(std::string_view name) {
    std::string quoted = "`";
    for (char c : name) {
        if (c == '`') quoted += '`';
        quoted += c;
    }
    quoted += '`';
    return quoted;
}

}  // namespace kestrelmoor::db
