// SPDX-License-Identifier: MIT
#include "db/table_catalogue.h"

#include "common/ascii.h"

namespace kestrelmoor::db {

bool IsSystemTableName(std::string_view name) {
    // Only ASCII letters lower-case to "s" or "y", so comparing the first three bytes is the same as
    // comparing the first three characters of the UTF-8 name.
    return name.size() >= 3 && AsciiLower(name[0]) == 's' && AsciiLower(name[1]) == 'y' &&
           AsciiLower(name[2]) == 's';
}

void ListTables(Database& database, const Login& login, TableListSink& tables,
                const std::function<void()>& yield) {
    std::unique_ptr<Connection> connection = database.CreateConnection();
    connection->SetWaitHook(yield);
    connection->Open(login);
    connection->ReadRows("SHOW TABLES;", [&](const RowView& row) {
        if (yield) yield();
        const std::string_view name = row.Value(0).value_or(std::string_view{});
        if (!IsSystemTableName(name)) tables.AppendChecked(name);
        return true;
    });
    connection->Close();
}

}  // namespace kestrelmoor::db

namespace kestrelmoor::db {

bool IsSystemDatabaseName(std::string_view name) {
    return name == "information_schema" || name == "performance_schema" || name == "mysql" || name == "sys";
}

std::vector<std::string> ListDatabases(Database& database, Login login) {
    login.database.clear();
    std::vector<std::string> names;
    std::unique_ptr<Connection> connection = database.CreateConnection();
    connection->Open(login);
    connection->ReadRows("SHOW DATABASES", [&](const RowView& row) {
        const std::string_view name = row.Value(0).value_or(std::string_view{});
        if (!IsSystemDatabaseName(name)) names.emplace_back(name);
        return true;
    });
    connection->Close();
    return names;
}

}  // namespace kestrelmoor::db
