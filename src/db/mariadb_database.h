// The real database component: connections and record sets on MariaDB Connector/C.
#pragma once

#include "db/database.h"

namespace kestrelmoor::db {

class MariaDbDatabase final : public Database {
  public:
    std::unique_ptr<Connection> CreateConnection() override;
    std::unique_ptr<RecordSet> CreateRecordSet() override;
};

}  // namespace kestrelmoor::db
