// SPDX-License-Identifier: MIT
// The server's own estimate of how many rows each table holds, for showing progress.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "db/database.h"

namespace kestrelmoor::db {

// Table name to estimated rows.
using RowEstimates = std::unordered_map<std::string, std::int64_t>;

// The estimates of the tables of the connection's current database, as the server keeps them
// (information_schema.TABLES.TABLE_ROWS: exact for some engines, a guess for InnoDB, none for views).
// Never fails: a server that cannot tell (or a closed connection) gives none.
RowEstimates ReadRowEstimates(Connection& connection);

}  // namespace kestrelmoor::db
