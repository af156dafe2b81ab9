// A database component whose creation of a connection, a record set or both fails: for tests of the
// callers' error handling.
#pragma once

#include <string>

#include "db/database.h"

namespace kestrelmoor::test {

class FailingDatabase : public db::Database {
  public:
    enum class Failing { kConnection, kRecordSet, kBoth };

    // The failing creations throw db::DatabaseError(message); the others are handed to `others` when
    // given, and fail as well when not.
    explicit FailingDatabase(Failing failing,
                             std::string message = "The database component cannot be created",
                             db::Database* others = nullptr);

    std::unique_ptr<db::Connection> CreateConnection() override;
    std::unique_ptr<db::RecordSet> CreateRecordSet() override;

    int ConnectionRequests() const { return connection_requests_; }
    int RecordSetRequests() const { return record_set_requests_; }

  private:
    Failing failing_;
    std::string message_;
    db::Database* others_;
    int connection_requests_ = 0;
    int record_set_requests_ = 0;
};

}  // namespace kestrelmoor::test
