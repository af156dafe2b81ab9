// SPDX-License-Identifier: MIT
// Connections and connection attempts against the private test server (and loopback sockets that play
// broken servers). Nothing here talks to any address but 127.0.0.1 and the server's Unix socket.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "db/connection_check.h"
#include "db/mariadb_database.h"
#include "server_test_helpers.h"
#include "support/test_server.h"

namespace kestrelmoor::db {
namespace {

using test::AdminSession;
using test::TestUser;

class ConnectionTest : public test::ServerTest {
  protected:
    // The DatabaseError message of opening `profile`, or "" when the open succeeds.
    std::string OpenFailure(const Login& profile) {
        auto connection = database_.CreateConnection();
        try {
            connection->Open(profile);
        } catch (const DatabaseError& e) {
            EXPECT_FALSE(connection->IsOpen());
            return e.what();
        }
        EXPECT_TRUE(connection->IsOpen());
        return "";
    }

    // The single value that `sql` returns on a connection opened with `profile`.
    std::string QueryOne(const Login& profile, const std::string& sql, std::size_t column = 0) {
        auto connection = database_.CreateConnection();
        connection->Open(profile);
        std::string value = "no row";
        connection->ReadRows(sql, [&](const RowView& row) {
            value = std::string(row.Value(column).value_or("NULL"));
            return true;
        });
        return value;
    }

    MariaDbDatabase database_;
};

#define EXPECT_CONTAINS(text, part) EXPECT_NE(std::string(text).find(part), std::string::npos) << (text)

TEST_F(ConnectionTest, GoodLoginOverTcpAndThroughTheSocket) {
    EXPECT_TRUE(CanConnect(database_, Server().UserLogin()));
    EXPECT_EQ(QueryOne(Server().UserLogin(), "SELECT CURRENT_USER()"), Server().user + "@127.0.0.1");
    // "localhost" means the local server's Unix socket on the default port, TCP on any other.
    auto local = Server().SocketLogin();
    for (const char* port : {"", "3306"}) {
        local.port = db::Port::FromText(port);
        EXPECT_EQ(QueryOne(local, "SELECT CURRENT_USER()"), Server().user + "@localhost") << port;
    }
    local.port = db::Port::FromText(Server().port);
    EXPECT_EQ(QueryOne(local, "SELECT CURRENT_USER()"), Server().user + "@127.0.0.1");
}

TEST_F(ConnectionTest, RefusedLoginsCarryTheServersMessage) {
    auto wrong_password = Server().UserLogin();
    wrong_password.password += "x";
    EXPECT_CONTAINS(OpenFailure(wrong_password), "Access denied for user '" + Server().user + "'");
    EXPECT_FALSE(CanConnect(database_, wrong_password));

    // A name the test user may use, but no such database exists.
    const auto unknown = Server().UserLogin("kestrel_nothing_here");
    EXPECT_CONTAINS(OpenFailure(unknown), "Unknown database 'kestrel_nothing_here'");
    EXPECT_FALSE(CanConnect(database_, unknown));
}

TEST_F(ConnectionTest, ClosedPortFails) {
    auto profile = Server().UserLogin();
    profile.port = db::Port::FromText(test::ClosedLoopbackPort());
    EXPECT_CONTAINS(OpenFailure(profile), "Can't connect");
    EXPECT_FALSE(CanConnect(database_, profile));
}

TEST_F(ConnectionTest, PortOfLettersFailsWithoutReachingAnyServer) {
    for (const char* server : {"127.0.0.1", "localhost"}) {
        auto profile = Server().UserLogin();
        profile.server = server;
        profile.port = db::Port::FromText("abc");
        EXPECT_CONTAINS(OpenFailure(profile), "PORT \"abc\" is not a port number");
        EXPECT_FALSE(CanConnect(database_, profile));
    }
}

TEST_F(ConnectionTest, AllFiveValuesEmptyIsRefused) {
    // An empty server is the local one and an empty user the login name of this process; neither the
    // server's root nor any anonymous account lets that in without a password.
    EXPECT_CONTAINS(OpenFailure(Login{}), "Access denied");
    EXPECT_FALSE(CanConnect(database_, Login{}));
}

TEST_F(ConnectionTest, SpacesAroundValuesArePartOfThem) {
    AdminSession admin;
    TestUser user(admin, "kspace", "  two spaces  ");
    EXPECT_TRUE(CanConnect(database_, user.Profile("  two spaces  ")));
    EXPECT_FALSE(CanConnect(database_, user.Profile("two spaces")));

    auto spaced_user = user.Profile("  two spaces  ");
    spaced_user.user = " " + spaced_user.user;
    EXPECT_FALSE(CanConnect(database_, spaced_user));

    test::ScratchDatabase scratch(admin, "spaces");
    auto spaced_database = Server().UserLogin(" " + scratch.Name());
    EXPECT_TRUE(CanConnect(database_, Server().UserLogin(scratch.Name())));
    EXPECT_FALSE(CanConnect(database_, spaced_database));
}

TEST_F(ConnectionTest, EveryByteOfAPasswordReachesTheServer) {
    // Characters that a connection string would read as its own syntax are the password's own.
    AdminSession admin;
    for (const char* password : {"semi;colon", "{braced}", "x}};PORT=1;{", "a=b=c"}) {
        TestUser user(admin, "kodd", password);
        EXPECT_TRUE(CanConnect(database_, user.Profile(password))) << password;
        EXPECT_FALSE(CanConnect(database_, user.Profile(std::string(password).substr(0, 4)))) << password;
    }
}

TEST_F(ConnectionTest, AttemptsInARowLeaveNothingOpen) {
    AdminSession admin;
    TestUser user(admin, "kpair", "pair-pw");
    const auto connections_before =
        std::stoll(admin.Query("SHOW GLOBAL STATUS LIKE 'Connections'")[0][1].value());
    EXPECT_TRUE(CanConnect(database_, user.Profile("pair-pw")));
    EXPECT_TRUE(CanConnect(database_, user.Profile("pair-pw")));
    const auto connections_after =
        std::stoll(admin.Query("SHOW GLOBAL STATUS LIKE 'Connections'")[0][1].value());
    EXPECT_GE(connections_after - connections_before, 2) << "two attempts open two connections";

    // The server notices a closed session at once, but give it a moment before calling it a leak.
    int open = admin.SessionsOf(user.Name());
    for (int i = 0; i < 50 && open != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        open = admin.SessionsOf(user.Name());
    }
    EXPECT_EQ(open, 0);
}

TEST_F(ConnectionTest, CloseEndsTheSessionAndMembersOfAClosedConnectionThrow) {
    AdminSession admin;
    TestUser user(admin, "kclose", "close-pw");
    auto connection = database_.CreateConnection();
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_THROW(connection->ReadRows("SELECT 1", [](const RowView&) { return true; }), DatabaseError);
    connection->Open(user.Profile("close-pw"));
    EXPECT_TRUE(connection->IsOpen());
    EXPECT_EQ(admin.SessionsOf(user.Name()), 1);
    EXPECT_THROW(connection->Open(user.Profile("close-pw")), DatabaseError);

    connection->Close();
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_THROW(connection->ReadRows("SELECT 1", [](const RowView&) { return true; }), DatabaseError);
    int open = admin.SessionsOf(user.Name());
    for (int i = 0; i < 50 && open != 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        open = admin.SessionsOf(user.Name());
    }
    EXPECT_EQ(open, 0);
}

TEST_F(ConnectionTest, SilentServerIsGivenUpAfterTheConnectTimeout) {
    test::SilentListener silent;
    auto profile = Server().UserLogin();
    profile.port = db::Port::FromText(silent.Port());
    auto connection = database_.CreateConnection();
    connection->SetConnectTimeout(2);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(connection->Open(profile), DatabaseError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(ConnectionTest, SilentServerIsGivenUpWhenNoTimeoutIsSet) {
    // CanConnect sets no time-out: the layer's own default (15 s) must still end the wait.
    test::SilentListener silent;
    auto profile = Server().UserLogin();
    profile.port = db::Port::FromText(silent.Port());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CanConnect(database_, profile));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST_F(ConnectionTest, ReadTimeoutEndsASlowStatement) {
    auto connection = database_.CreateConnection();
    connection->SetReadTimeout(1);
    connection->Open(Server().UserLogin());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(connection->ReadRows("SELECT SLEEP(20)", [](const RowView&) { return true; }),
                 DatabaseError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}

TEST_F(ConnectionTest, EncryptedWhenTheServerOffersTls) {
    for (const auto& profile : {Server().UserLogin(), Server().SocketLogin()}) {
        const std::string cipher = QueryOne(profile, "SHOW STATUS LIKE 'Ssl_cipher'", 1);
        if (Server().tls) {
            EXPECT_FALSE(cipher.empty()) << profile.server;
        } else {
            EXPECT_EQ(cipher, "") << "a server without TLS is reached in the clear";
        }
    }
}

TEST_F(ConnectionTest, SessionSpeaksUtf8mb4) {
    EXPECT_EQ(QueryOne(Server().UserLogin(), "SELECT @@character_set_client"), "utf8mb4");
    EXPECT_EQ(QueryOne(Server().UserLogin(), "SELECT @@character_set_results"), "utf8mb4");
}

TEST_F(ConnectionTest, Ed25519Login) {
    if (Server().ed25519_user.empty()) GTEST_SKIP() << "the test server has no ed25519 plugin";
    EXPECT_EQ(QueryOne(Server().Ed25519Login(), "SELECT CURRENT_USER()"),
              Server().ed25519_user + "@127.0.0.1");
    auto wrong = Server().Ed25519Login();
    wrong.password += "x";
    EXPECT_CONTAINS(OpenFailure(wrong), "Access denied");
}

}  // namespace
}  // namespace kestrelmoor::db
