// SPDX-License-Identifier: MIT
// A database whose connections cannot be created: for tests of the callers' error handling.
#pragma once

#include <string>

#include "db/database.h"

namespace kestrelmoor::test {

class FailingDatabase : public db::Database {
  public:
    // Every creation throws db::DatabaseError(message).
    explicit FailingDatabase(std::string message = "The database component cannot be created")
        : message_(std::move(message)) {}

    std::unique_ptr<db::Connection> CreateConnection() override {
        ++connection_requests_;
        throw db::DatabaseError(message_);
    }
    int ConnectionRequests() const { return connection_requests_; }

  private:
    std::string message_;
    int connection_requests_ = 0;
};

}  // namespace kestrelmoor::test
