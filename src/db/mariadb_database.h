// SPDX-License-Identifier: MIT
// The real database: connections on MariaDB Connector/C.
#pragma once

#include "db/connection_options.h"
#include "db/database.h"

namespace kestrelmoor::db {

class MariaDbDatabase final : public Database {
  public:
    // Every connection made is made with `options`.
    explicit MariaDbDatabase(ConnectionOptions options = {}) : options_(std::move(options)) {}
    std::unique_ptr<Connection> CreateConnection() override;

  private:
    ConnectionOptions options_;
};

}  // namespace kestrelmoor::db
