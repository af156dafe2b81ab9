// SPDX-License-Identifier: MIT
// The real database: connections on MariaDB Connector/C.
#pragma once

#include "db/database.h"

namespace kestrelmoor::db {

class MariaDbDatabase final : public Database {
  public:
    std::unique_ptr<Connection> CreateConnection() override;
};

}  // namespace kestrelmoor::db
