#include "db/mariadb_database.h"

#include "db/mariadb_connection.h"
#include "db/mariadb_record_set.h"

namespace kestrelmoor::db {

std::unique_ptr<Connection> MariaDbDatabase::CreateConnection() {
    return std::make_unique<MariaDbConnection>();
}

std::unique_ptr<RecordSet> MariaDbDatabase::CreateRecordSet() {
    return std::make_unique<MariaDbRecordSet>();
}

}  // namespace kestrelmoor::db
