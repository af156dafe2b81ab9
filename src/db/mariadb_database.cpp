// SPDX-License-Identifier: MIT
#include "db/mariadb_database.h"

#include "db/mariadb_connection.h"

namespace kestrelmoor::db {

std::unique_ptr<Connection> MariaDbDatabase::CreateConnection() {
    return std::make_unique<MariaDbConnection>(options_);
}

}  // namespace kestrelmoor::db
