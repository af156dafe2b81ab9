// The connection attempt's own contract, with recording doubles instead of a server.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "db/connection_profile.h"
#include "support/failing_database.h"

namespace kestrelmoor::db {
namespace {

struct Log {
    std::string opened_with;
    int closes = 0;
    int destroyed = 0;
};

class RecordingConnection : public Connection {
  public:
    RecordingConnection(Log& log, bool fail, bool fail_oddly)
        : log_(log), fail_(fail), fail_oddly_(fail_oddly) {}
    ~RecordingConnection() override { ++log_.destroyed; }
    void SetCommandTimeout(int) override {}
    void SetConnectionTimeout(int) override {}
    void SetCursorLocation(int) override {}
    void Open(std::string_view text) override {
        log_.opened_with = text;
        if (fail_) throw DatabaseError("Access denied");
        if (fail_oddly_) throw std::runtime_error("out of something");
    }
    std::unique_ptr<RecordSet> Execute(std::string_view) override { return nullptr; }
    int State() const override { return 0; }
    void Close() override { ++log_.closes; }

  private:
    Log& log_;
    bool fail_, fail_oddly_;
};

class RecordingDatabase : public Database {
  public:
    RecordingDatabase(Log& log, bool fail = false, bool fail_oddly = false)
        : log_(log), fail_(fail), fail_oddly_(fail_oddly) {}
    std::unique_ptr<Connection> CreateConnection() override {
        return std::make_unique<RecordingConnection>(log_, fail_, fail_oddly_);
    }
    std::unique_ptr<RecordSet> CreateRecordSet() override { return nullptr; }

  private:
    Log& log_;
    bool fail_, fail_oddly_;
};

const ConnectionProfile kProfile{"localhost", "u", "p", "shop", "3306"};

TEST(CanConnectTest, TrueWhenTheOpenSucceedsAndDropsTheConnectionWithoutClose) {
    Log log;
    RecordingDatabase database(log);
    EXPECT_TRUE(CanConnect(database, kProfile));
    EXPECT_EQ(log.opened_with, BuildConnectionString(kProfile));
    EXPECT_EQ(log.closes, 0);
    EXPECT_EQ(log.destroyed, 1);
}

TEST(CanConnectTest, FalseOnAnyFailureOfTheOpen) {
    for (const bool database_error : {true, false}) {
        Log log;
        RecordingDatabase database(log, database_error, !database_error);
        EXPECT_FALSE(CanConnect(database, kProfile));
        EXPECT_EQ(log.destroyed, 1);
    }
}

TEST(CanConnectTest, AFailureToCreateTheConnectionReachesTheCaller) {
    test::FailingDatabase database(test::FailingDatabase::Failing::kConnection, "no component");
    EXPECT_THROW(
        {
            try {
                CanConnect(database, kProfile);
            } catch (const DatabaseError& e) {
                EXPECT_STREQ(e.what(), "no component");
                throw;
            }
        },
        DatabaseError);
    EXPECT_EQ(database.ConnectionRequests(), 1);
}

}  // namespace
}  // namespace kestrelmoor::db
