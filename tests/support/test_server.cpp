// SPDX-License-Identifier: MIT
#include "test_server.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <thread>

#include "db/mariadb_database.h"

namespace kestrelmoor::test {
namespace {

using Facts = std::map<std::string, std::string>;

std::optional<Facts> ReadFacts(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    Facts facts;
    std::string line;
    while (std::getline(in, line)) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return facts;
}

std::string Require(const Facts& facts, const std::string& key, const std::string& path) {
    const auto it = facts.find(key);
    if (it == facts.end() || it->second.empty()) {
        throw std::runtime_error("The test server's facts file " + path + " has no " + key +
                                 "; restart the server with scripts/test-db start");
    }
    return it->second;
}

std::string Optional(const Facts& facts, const std::string& key) {
    const auto it = facts.find(key);
    return it == facts.end() ? std::string() : it->second;
}

TestServer Load() {
    const std::string path = TestServerFactsPath();
    const auto facts = ReadFacts(path);
    if (!facts) {
        throw std::runtime_error("No test database server: cannot read " + path +
                                 ". Start one with scripts/test-db start (scripts/test does this), or point "
                                 "KESTRELMOOR_TEST_DB_FACTS at its facts file.");
    }
    const std::string pid = Require(*facts, "PID", path);
    if (!std::filesystem::exists("/proc/" + pid)) {
        throw std::runtime_error("The test database server of " + path + " (pid " + pid +
                                 ") is not running; restart it with scripts/test-db start");
    }
    TestServer server;
    server.host = Require(*facts, "HOST", path);
    server.port = Require(*facts, "PORT", path);
    server.socket = Require(*facts, "SOCKET", path);
    server.tls = Optional(*facts, "TLS") == "on";
    server.admin_user = Require(*facts, "ADMIN_USER", path);
    server.admin_password = Require(*facts, "ADMIN_PASSWORD", path);
    server.user = Require(*facts, "USER", path);
    server.password = Require(*facts, "PASSWORD", path);
    server.ed25519_user = Optional(*facts, "ED25519_USER");
    server.ed25519_password = Optional(*facts, "ED25519_PASSWORD");
    return server;
}

// The client library reads MYSQL_UNIX_PORT once, when it first starts, so "localhost" must lead to the
// test server's socket before any test opens a connection.
bool ExportSocketPath() {
    if (const auto facts = ReadFacts(TestServerFactsPath())) {
        const auto socket = facts->find("SOCKET");
        if (socket != facts->end() && !socket->second.empty())
            setenv("MYSQL_UNIX_PORT", socket->second.c_str(), 1);
    }
    return true;
}
[[maybe_unused]] const bool socket_path_exported = ExportSocketPath();

}  // namespace

std::string TestServerFactsPath() {
    if (const char* path = std::getenv("KESTRELMOOR_TEST_DB_FACTS"); path && *path) return path;
    return std::string(KESTRELMOOR_SOURCE_DIR) + "/build/test-db/facts.env";
}

const TestServer& TestServer::Get() {
    static const TestServer server = Load();
    return server;
}

db::Login TestServer::UserLogin(std::string database) const {
    return {host, user, password, std::move(database), db::Port::FromText(port)};
}

db::Login TestServer::SocketLogin(std::string database) const {
    return {"localhost", user, password, std::move(database), db::Port()};  // the default port: the socket
}

db::Login TestServer::Ed25519Login(std::string database) const {
    return {host, ed25519_user, ed25519_password, std::move(database), db::Port::FromText(port)};
}

db::Login TestServer::AdminLogin() const {
    return {host, admin_user, admin_password, "", db::Port::FromText(port)};
}

AdminSession::AdminSession() {
    db::MariaDbDatabase database;
    connection_ = database.CreateConnection();
    connection_->Open(TestServer::Get().AdminLogin());
}

AdminSession::~AdminSession() = default;

void AdminSession::Run(std::string_view sql) {
    connection_->ReadRows(sql, [](const db::RowView&) { return true; });
}

std::vector<Row> AdminSession::Query(std::string_view sql) {
    std::vector<Row> rows;
    connection_->ReadRows(sql, [&](const db::RowView& view) {
        Row row;
        for (std::size_t i = 0; i < view.FieldCount(); ++i) {
            const auto value = view.Value(i);
            row.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
        }
        rows.push_back(std::move(row));
        return true;
    });
    return rows;
}

int AdminSession::SessionsOf(std::string_view user) {
    int count = 0;
    // Column 1 of the process list is the user.
    for (const Row& row : Query("SHOW PROCESSLIST")) {
        if (row.size() > 1 && row[1] == std::string(user)) ++count;
    }
    return count;
}

ScratchDatabase::ScratchDatabase(AdminSession& admin, std::string_view tag)
    : admin_(admin), name_("kestrel_" + std::string(tag) + "_" + std::to_string(getpid())) {
    admin_.Run("DROP DATABASE IF EXISTS `" + name_ + "`");
    admin_.Run("CREATE DATABASE `" + name_ + "` CHARACTER SET utf8mb4");
}

ScratchDatabase::~ScratchDatabase() {
    try {
        admin_.Run("DROP DATABASE IF EXISTS `" + name_ + "`");
    } catch (const std::exception& e) {
        ADD_FAILURE() << "Could not drop the scratch database " << name_ << ": " << e.what();
    }
}

void ServerTest::SetUp() {
    if (!KESTRELMOOR_SERVER_TESTS) {
        GTEST_SKIP() << "built without the tests that need the database server";
    }
    try {
        server_ = &TestServer::Get();
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

void ScratchServerTest::SetUp() {
    ServerTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    admin_ = std::make_unique<AdminSession>();
    scratch_ = std::make_unique<ScratchDatabase>(*admin_, tag_);
}

int ScratchServerTest::ScratchSessions() {
    int sessions = 0;
    // Columns 1 and 3 of the process list: the session's user and database. The administrator's own
    // session, which set the scratch database up, does not count.
    for (const Row& row : admin_->Query("SHOW PROCESSLIST")) {
        sessions += row.size() > 3 && row[3] == scratch_->Name() && row[1] != Server().admin_user;
    }
    return sessions;
}

int ScratchServerTest::ScratchSessionsSettled() {
    int sessions = ScratchSessions();
    for (int attempt = 0; sessions > 0 && attempt < 50; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sessions = ScratchSessions();
    }
    return sessions;
}

void ScratchServerTest::Sql(const std::string& statement) {
    admin_->Run("USE `" + scratch_->Name() + "`");
    admin_->Run(statement);
}

}  // namespace kestrelmoor::test
