// What the connection attempt catches and what it lets through, without a server.
#include <gtest/gtest.h>

#include <stdexcept>

#include "db/connection_profile.h"
#include "support/failing_database.h"

namespace kestrelmoor::db {
namespace {

// A connection whose Open throws something that is not a DatabaseError.
class OddlyFailingConnection : public Connection {
  public:
    void SetCommandTimeout(int) override {}
    void SetConnectionTimeout(int) override {}
    void SetCursorLocation(int) override {}
    void Open(std::string_view) override { throw std::runtime_error("out of something"); }
    std::unique_ptr<RecordSet> Execute(std::string_view) override { return nullptr; }
    int State() const override { return 0; }
    void Close() override {}
};

class OddDatabase : public Database {
  public:
    std::unique_ptr<Connection> CreateConnection() override {
        return std::make_unique<OddlyFailingConnection>();
    }
    std::unique_ptr<RecordSet> CreateRecordSet() override { return nullptr; }
};

const ConnectionProfile kProfile{"localhost", "u", "p", "shop", "3306"};

TEST(CanConnectTest, AnyFailureOfTheOpenIsFalse) {
    OddDatabase database;
    EXPECT_FALSE(CanConnect(database, kProfile));
}

TEST(CanConnectTest, AFailureToCreateTheConnectionReachesTheCaller) {
    test::FailingDatabase database(test::FailingDatabase::Failing::kConnection, "no component");
    try {
        CanConnect(database, kProfile);
        FAIL() << "the failure was swallowed";
    } catch (const DatabaseError& e) {
        EXPECT_STREQ(e.what(), "no component");
    }
    EXPECT_EQ(database.ConnectionRequests(), 1);
}

}  // namespace
}  // namespace kestrelmoor::db
