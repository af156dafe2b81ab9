// SPDX-License-Identifier: MIT
// The private test database server that scripts/test-db starts: its facts, ready-made logins, an admin
// session for setting up and inspecting the server, and a fixture that fails (never skips) a test when
// the server's facts are missing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/login.h"

namespace kestrelmoor::test {

// Where the facts are read: $KESTRELMOOR_TEST_DB_FACTS, else build/test-db/facts.env in the source tree.
std::string TestServerFactsPath();

struct TestServer {
    std::string host;  // 127.0.0.1
    std::string port;
    std::string socket;  // the server's Unix socket; also exported as MYSQL_UNIX_PORT to this process
    bool tls = false;    // the server offers TLS
    std::string admin_user, admin_password;
    std::string user, password;                  // mysql_native_password
    std::string ed25519_user, ed25519_password;  // empty when the server had no ed25519 plugin

    // Reads the facts once. Throws std::runtime_error saying how to start the server when the facts
    // file is missing or incomplete, or names a server that no longer runs.
    static const TestServer& Get();

    // The test user over TCP to 127.0.0.1, and through the Unix socket ("localhost", default port).
    db::Login UserLogin(std::string database = {}) const;
    db::Login SocketLogin(std::string database = {}) const;
    db::Login Ed25519Login(std::string database = {}) const;
    db::Login AdminLogin() const;
};

using Row = std::vector<std::optional<std::string>>;

// A connection as the server's administrator, over TCP; every call throws db::DatabaseError on failure.
class AdminSession {
  public:
    AdminSession();
    ~AdminSession();

    void Run(std::string_view sql);
    std::vector<Row> Query(std::string_view sql);
    // How many sessions of `user` the server's process list shows.
    int SessionsOf(std::string_view user);

  private:
    std::unique_ptr<db::Connection> connection_;
};

// A database of its own for one test ("kestrel_<tag>_<pid>", which the test users may use), dropped when
// it goes out of scope.
class ScratchDatabase {
  public:
    ScratchDatabase(AdminSession& admin, std::string_view tag);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    const std::string& Name() const { return name_; }

  private:
    AdminSession& admin_;
    std::string name_;
};

// Fixture for tests that need the server: SetUp fails the test with the reason when it cannot be found,
// and skips it in a build without the server's tests (KESTRELMOOR_SERVER_TESTS=OFF).
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override;
    const TestServer& Server() const { return *server_; }

  private:
    const TestServer* server_ = nullptr;
};

// A ServerTest with an administrator's session and a scratch database of the test's own.
class ScratchServerTest : public ServerTest {
  protected:
    // `tag` goes into the scratch database's name.
    explicit ScratchServerTest(std::string tag) : tag_(std::move(tag)) {}
    void SetUp() override;

    // Runs `statement` in the scratch database, as the administrator.
    void Sql(const std::string& statement);
    // The test user's login to the scratch database.
    db::Login ScratchLogin() const { return Server().UserLogin(scratch_->Name()); }
    // Sessions of users other than the administrator using the scratch database now (other tests'
    // sessions of the same user never count).
    int ScratchSessions();
    // The same once closed sessions have left: a session closed a moment ago may still be listed
    // briefly, so this waits up to a second for the count to reach 0.
    int ScratchSessionsSettled();

    std::unique_ptr<AdminSession> admin_;
    std::unique_ptr<ScratchDatabase> scratch_;

  private:
    std::string tag_;
};

}  // namespace kestrelmoor::test
