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
    EXPECT_FALSE(connection->Lost()) << "a failing statement leaves the link as it was";
}

// A connect to a server that never answers is cut short by the give-up, long before its time-out.
TEST_F(WaitHookTest, AConnectInProgressIsGivenUpAtOnce) {
    test::SilentListener silent;
    MariaDbDatabase database;
    auto connection = database.CreateConnection();
    connection->SetConnectTimeout(60);
    int calls = 0;
    connection->SetWaitHook([&] { ++calls; });
    connection->SetGiveUp([&] { return calls >= 3; });
    Login login = Server().UserLogin();
    login.port = db::Port::FromText(silent.Port());
    EXPECT_THROW(connection->Open(login), DatabaseError);
    EXPECT_LT(calls, 10) << "60 s would be 3000 calls";
}

// A connection killed by the server is lost by the library's word, though its handle is still there.
TEST_F(WaitHookTest, AConnectionKilledMidQueryIsLost) {
    MariaDbDatabase database;
    auto victim = database.CreateConnection();
    victim->Open(Server().UserLogin());
    std::string id;
    victim->ReadRows("SELECT CONNECTION_ID()", [&](const RowView& row) {
        id = std::string(row.Value(0).value_or(""));
        return true;
    });
    auto killer = database.CreateConnection();
    killer->Open(Server().UserLogin());
    bool killed = false;
    victim->SetWaitHook([&] {
        if (!killed) killer->ReadRows("KILL " + id, [](const RowView&) { return true; });
        killed = true;
    });
    EXPECT_THROW(victim->ReadRows("SELECT SLEEP(5)", [](const RowView&) { return true; }), DatabaseError);
    EXPECT_TRUE(victim->Lost());
    EXPECT_TRUE(victim->IsOpen());
    EXPECT_THROW(victim->ReadRows("SELECT 1", [](const RowView&) { return true; }), DatabaseError);
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
