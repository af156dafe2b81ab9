// SPDX-License-Identifier: MIT
// The login without a server: what the connection attempt catches and lets through, and the port box.
#include <gtest/gtest.h>

#include <stdexcept>

#include "db/connection_check.h"
#include "db/connection_options.h"
#include "support/failing_database.h"

namespace kestrelmoor::db {
namespace {

// A connection whose Open throws something that is not a DatabaseError.
class OddlyFailingConnection : public Connection {
  public:
    void SetConnectTimeout(int) override {}
    void SetReadTimeout(int) override {}
    void SetWaitHook(std::function<void()>) override {}
    void Open(const Login&) override { throw std::runtime_error("out of something"); }
    void ReadRows(std::string_view, const RowHandler&) override {}
    bool IsOpen() const override { return false; }
    void Close() override {}
};

class OddDatabase : public Database {
  public:
    std::unique_ptr<Connection> CreateConnection() override {
        return std::make_unique<OddlyFailingConnection>();
    }
};

const Login kProfile{"localhost", "u", "p", "shop", Port(3306)};

TEST(CanConnectTest, AnyFailureOfTheOpenIsFalse) {
    OddDatabase database;
    EXPECT_FALSE(CanConnect(database, kProfile));
}

TEST(CanConnectTest, AFailureToCreateTheConnectionReachesTheCaller) {
    test::FailingDatabase database("no component");
    try {
        CanConnect(database, kProfile);
        FAIL() << "the failure was swallowed";
    } catch (const DatabaseError& e) {
        EXPECT_STREQ(e.what(), "no component");
    }
    EXPECT_EQ(database.ConnectionRequests(), 1);
}

TEST(PortTest, AWholeNumberFrom1To65535OrTheTextRefusedWhenUsed) {
    EXPECT_EQ(Port::FromText("").Number(), 3306);
    EXPECT_EQ(Port::FromText("1").Number(), 1);
    EXPECT_EQ(Port::FromText("65535").Number(), 65535);
    for (const char* text :
         {"abc", "0", "65536", "999999999999999999999999", "-1", "+3306", " 3306", "3306x"}) {
        try {
            Port::FromText(text).Number();
            ADD_FAILURE() << text << " was taken";
        } catch (const DatabaseError& e) {
            EXPECT_EQ(std::string(e.what()), "PORT \"" + std::string(text) +
                                                 "\" is not a port number (a whole number from 1 to 65535)");
        }
    }
}

// Compressed when asked, never when refused; by default only over TCP to a server far away that is not
// on loopback.
TEST(CompressionTest, TheOptionDecidesElseAFarServerOverTcpNotOnLoopback) {
    EXPECT_TRUE(CompressesProtocol(true, Transport::Socket, "localhost", false));
    EXPECT_FALSE(CompressesProtocol(false, Transport::Tcp, "db.example.com", true));
    EXPECT_TRUE(CompressesProtocol(std::nullopt, Transport::Tcp, "db.example.com", true));
    EXPECT_TRUE(CompressesProtocol(std::nullopt, Transport::Tcp, "2001:db8::1", true));
    EXPECT_FALSE(CompressesProtocol(std::nullopt, Transport::Tcp, "db.example.com", false));
    EXPECT_FALSE(CompressesProtocol(std::nullopt, Transport::Socket, "db.example.com", true));
    for (const char* loopback : {"localhost", "", "127.0.0.1", "127.1.2.3", "::1"})
        EXPECT_FALSE(CompressesProtocol(std::nullopt, Transport::Tcp, loopback, true)) << loopback;
}

}  // namespace
}  // namespace kestrelmoor::db
