// The wait hook lets the window process events while the server works: it runs repeatedly during a
// slow connect or query, and the query's outcome is the same as without it.
#include <gtest/gtest.h>

#include "db/connection_profile.h"
#include "db/mariadb_database.h"
#include "server_test_helpers.h"
#include "support/test_server.h"

namespace kestrelmoor::db {
namespace {

class WaitHookTest : public test::ServerTest {};

TEST_F(WaitHookTest, RunsWhileTheServerWorksAndLeavesTheResultAlone) {
    MariaDbDatabase database;
    auto connection = database.CreateConnection();
    int calls = 0;
    connection->SetWaitHook([&] { ++calls; });
    connection->Open(BuildConnectionString(Server().UserProfile()));
    calls = 0;
    auto records = connection->Execute("SELECT SLEEP(0.3), 'after'");
    EXPECT_GE(calls, 10);  // every few milliseconds over 300 ms
    EXPECT_EQ(records->Value(1), "after");

    // A failing statement throws the server's message just the same.
    EXPECT_THROW(connection->Execute("SELECT * FROM no_such_table"), DatabaseError);
}

TEST_F(WaitHookTest, ASilentServerIsGivenUpWhileTheHookRuns) {
    test::SilentListener silent;
    MariaDbDatabase database;
    auto connection = database.CreateConnection();
    connection->SetConnectionTimeout(1);
    int calls = 0;
    connection->SetWaitHook([&] { ++calls; });
    ConnectionProfile profile = Server().UserProfile();
    profile.port = silent.Port();
    EXPECT_THROW(connection->Open(BuildConnectionString(profile)), DatabaseError);
    EXPECT_GT(calls, 10);
    EXPECT_EQ(connection->State(), 0);
}

}  // namespace
}  // namespace kestrelmoor::db
