// SPDX-License-Identifier: MIT
// A big table read in ranges of its key, on several connections at once, in the order one full scan
// gives: an InnoDB table's full scan follows its clustered key (the primary key, else the first unique
// key of columns that are never NULL), so ranges of that key read in its order give the same rows in
// the same order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "db/address_columns.h"
#include "db/database.h"

namespace kestrelmoor::db {

// Per InnoDB base table of the login's database whose clustered key is one integer column: that column.
using IntegerKeys = std::unordered_map<std::string, std::string>;
IntegerKeys ReadIntegerKeys(Connection& connection);

// The lowest and highest key of the table; none when it is empty or the server does not say.
std::optional<std::pair<std::int64_t, std::int64_t>> ReadKeyBounds(Connection& connection,
                                                                   std::string_view table,
                                                                   std::string_view key);

// The statements that read `columns` of the login's table in `parts` ranges of `key` between `lowest` and
// `highest`, each in the key's order; the first and the last are open-ended, so that together they read
// every row whatever was added since.
std::vector<std::string> RangeStatements(std::string_view table, const std::vector<AddressColumn>& columns,
                                         std::string_view key, std::int64_t lowest, std::int64_t highest,
                                         int parts);

}  // namespace kestrelmoor::db
