// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace kestrelmoor::db {

// Where the catalogue puts the names: one checked row each, after any rows already there.
class TableListSink {
  public:
    virtual ~TableListSink() = default;
    virtual void AppendChecked(std::string_view name) = 0;
};

// Lists the tables of the login's database in the server's order, leaving out those whose name begins
// with "sys" in any letter case, on a connection of its own. `yield` runs while the server is waited
// for and once per name. Has no error handling of its own: the first failure ends the call (the rows
// added so far stay) and reaches the caller.
void ListTables(Database& database, const Login& login, TableListSink& tables,
                const std::function<void()>& yield = {});

// True for names whose first three characters, lower-cased, are "sys".
bool IsSystemTableName(std::string_view name);

}  // namespace kestrelmoor::db

namespace kestrelmoor::db {

// The databases the login can see, in the server's order, leaving out the server's own
// (information_schema, performance_schema, mysql, sys), on a connection of its own that does not
// select the login's database. Failures reach the caller.
std::vector<std::string> ListDatabases(Database& database, Login login);

bool IsSystemDatabaseName(std::string_view name);

}  // namespace kestrelmoor::db
