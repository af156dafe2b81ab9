// SPDX-License-Identifier: MIT
// Which columns of the login's tables can hold an address, so that a server far away sends only those.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/database.h"

namespace kestrelmoor::db {

// Per base table of the login's database, its columns whose type can hold "@" in its text, in the
// table's order: every type but the integers, decimals, floats, dates, times and years. Views are left
// out (a column left out of a view's statement would not fail where the whole row fails), and so is
// every table when the server does not say (then each is read whole).
using AddressColumns = std::unordered_map<std::string, std::vector<std::string>>;
AddressColumns ReadAddressColumns(Connection& connection);

// True for a column type (information_schema's DATA_TYPE) whose text never holds "@".
bool HoldsNoAddress(std::string_view data_type);

// The statement that reads the table: every column when `columns` is null, those listed, or only the
// number of rows when the list is empty (one row, one value).
std::string ReadingStatement(std::string_view database, std::string_view table,
                             const std::vector<std::string>* columns);

}  // namespace kestrelmoor::db
