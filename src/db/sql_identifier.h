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

// A table as a statement names it: qualified by its database when it has one of its own (`database`
// empty: the login's).
inline std::string TableReference(std::string_view database, std::string_view table) {
    if (database.empty()) return QuoteIdentifier(table);
    return QuoteIdentifier(database) + "." + QuoteIdentifier(table);
}

}  // namespace kestrelmoor::db
