// SPDX-License-Identifier: MIT
#include "db/table_catalogue.h"

#include "common/ascii.h"

namespace kestrelmoor::db {
namespace {

// Hands on the first value of each row of `sql`, read on a connection of its own, except the names
// that `passed_over` picks; `yield` runs while the server is waited for and once per row.
void ForEachName(Database& database, const Login& login, std::string_view sql,
                 bool (*passed_over)(std::string_view), const std::function<void(std::string_view)>& on_name,
                 const std::function<void()>& yield = {}) {
    std::unique_ptr<Connection> connection = database.CreateConnection();
    connection->SetWaitHook(yield);
    connection->Open(login);
    connection->ReadRows(sql, [&](const RowView& row) {
        if (yield) yield();
        const std::string_view name = row.Value(0).value_or(std::string_view{});
        if (!passed_over(name)) on_name(name);
        return true;
    });
    connection->Close();
}

}  // namespace

bool IsSystemTableName(std::string_view name) {
    // Only ASCII letters lower-case to "s" or "y", so comparing the first three bytes is the same as
    // comparing the first three characters of the UTF-8 name.
    return name.size() >= 3 && AsciiLower(name[0]) == 's' && AsciiLower(name[1]) == 'y' &&
           AsciiLower(name[2]) == 's';
}

void ListTables(Database& database, const Login& login, TableListSink& tables,
                const std::function<void()>& yield) {
    ForEachName(
        database, login, "SHOW TABLES;", IsSystemTableName,
        [&tables](std::string_view name) { tables.AppendChecked(name); }, yield);
}

bool IsSystemDatabaseName(std::string_view name) {
    return name == "information_schema" || name == "performance_schema" || name == "mysql" || name == "sys";
}

std::vector<std::string> ListDatabases(Database& database, Login login) {
    login.database.clear();
    std::vector<std::string> names;
    ForEachName(database, login, "SHOW DATABASES", IsSystemDatabaseName,
                [&names](std::string_view name) { names.emplace_back(name); });
    return names;
}

}  // namespace kestrelmoor::db
