// SPDX-License-Identifier: MIT
#include "cli/run_tables.h"

#include <set>
#include <stdexcept>

#include "db/database_refused.h"
#include "db/table_catalogue.h"

namespace kestrelmoor::cli {

int ListRunTables(const CommandLine& options, db::Database& database, const db::Login& login,
                  TableNames& tables, Console& console) {
    if (!options.databases && !options.all_databases) {
        for (const std::string& name : options.tables) tables.AppendChecked(name);
        if (!options.tables.empty()) return 0;
        try {
            db::ListTables(database, login, tables);
        } catch (const std::exception& e) {
            throw std::runtime_error(std::string("cannot list the tables: ") + e.what());
        }
        return 0;
    }
    std::vector<std::string> names = options.tables;
    if (options.all_databases) {
        try {
            names = db::ListDatabases(database, login);
        } catch (const std::exception& e) {
            throw std::runtime_error(std::string("cannot list the databases: ") + e.what());
        }
    }
    int failures = 0;
    std::set<std::string> listed;
    for (const std::string& name : names) {
        if (!listed.insert(name).second) continue;
        db::Login of_database = login;
        of_database.database = name;
        tables.ListingDatabase(name);
        const std::string failed = "cannot list the tables of database '" + name + "': ";
        try {
            db::ListTables(database, of_database, tables);
        } catch (const db::DatabaseRefused& e) {
            console.Message(failed + e.what());
            ++failures;
        } catch (const std::exception& e) {
            // The login itself failed: every other database would fail the same way, each after its
            // own wait for a server that does not answer.
            throw std::runtime_error(failed + e.what());
        }
    }
    return failures;
}

}  // namespace kestrelmoor::cli
