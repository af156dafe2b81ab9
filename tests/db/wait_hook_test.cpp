// SPDX-License-Identifier: MIT
// The wait hook lets the window process events while the server works: it runs repeatedly during a
// slow connect or query, and the query's outcome is the same as without it.
#include <gtest/gtest.h>

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
    connection->Open(Server().UserLogin());
    calls = 0;
    std::string after;
    connection->ReadRows("SELECT SLEEP(0.3), 'after'", [&](const RowView& row) {
        after = row.Value(1).value_or("NULL");
        return true;
    });
    EXPECT_GE(calls, 5);  // every few dozen milliseconds over 300 ms
    EXPECT_EQ(after, "after");

    // A failing statement throws the server's message just the same.
    EXPECT_THROW(connection->ReadRows("SELECT * FROM no_such_table", [](const RowView&) { return true; }),
                 DatabaseError);
}

TEST_F(WaitHookTest, ASilentServerIsGivenUpWhileTheHookRuns) {
    test::SilentListener silent;
    MariaDbDatabase database;
    auto connection = database.CreateConnection();
    connection->SetConnectTimeout(1);
    int calls = 0;
    connection->SetWaitHook([&] { ++calls; });
    Login login = Server().UserLogin();
    login.port = db::Port::FromText(silent.Port());
    EXPECT_THROW(connection->Open(login), DatabaseError);
    EXPECT_GT(calls, 10);
    EXPECT_FALSE(connection->IsOpen());
}

}  // namespace
}  // namespace kestrelmoor::db
