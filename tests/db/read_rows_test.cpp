// SPDX-License-Identifier: MIT
// Rows handed over as they arrive, against the test server: their bytes, their order and columns,
// a handler that stops, and results that fail or stall part-way.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "db/mariadb_database.h"
#include "server_test_helpers.h"
#include "support/test_server.h"

namespace kestrelmoor::db {
namespace {

using namespace std::string_view_literals;
using Texts = std::vector<std::string>;

class ReadRowsTest : public test::ServerTest {
  protected:
    void SetUp() override {
        test::ServerTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        admin_ = std::make_unique<test::AdminSession>();
        scratch_ = std::make_unique<test::ScratchDatabase>(*admin_, "rows");
        connection_ = database_.CreateConnection();
        connection_->Open(Server().UserLogin(scratch_->Name()));
    }
    void Run(const std::string& sql) {
        connection_->ReadRows(sql, [](const RowView&) { return true; });
    }
    // Each row's values joined with "|", NULL as "NULL".
    Texts Read(const std::string& sql, Connection& connection) {
        Texts rows;
        connection.ReadRows(sql, [&](const RowView& row) {
            std::string text;
            for (std::size_t i = 0; i < row.FieldCount(); ++i) {
                text += (i ? "|" : "") + std::string(row.Value(i).value_or("NULL"));
            }
            rows.push_back(text);
            return true;
        });
        return rows;
    }
    Texts Read(const std::string& sql) { return Read(sql, *connection_); }

    MariaDbDatabase database_;
    std::unique_ptr<test::AdminSession> admin_;
    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Connection> connection_;
};

TEST_F(ReadRowsTest, RowsComeInOrderWithTheirColumnsNullsAndBytes) {
    Run("CREATE TABLE b (raw VARBINARY(16), txt TEXT CHARACTER SET utf8mb4, num DECIMAL(5,2), d DATE)");
    Run("INSERT INTO b VALUES (X'00FF000A41', _utf8mb4 X'F09F98802061', 1.5, '2024-02-29'),"
        " (NULL, '', NULL, NULL)");
    std::vector<std::string> columns;
    std::vector<std::optional<std::string>> values;
    connection_->ReadRows("SELECT * FROM b", [&](const RowView& row) {
        for (std::size_t i = 0; i < row.FieldCount(); ++i) {
            columns.push_back(row.ColumnName(i));
            const auto value = row.Value(i);
            values.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
        }
        return true;
    });
    EXPECT_EQ(columns, (Texts{"raw", "txt", "num", "d", "raw", "txt", "num", "d"}));
    const std::vector<std::optional<std::string>> expected = {std::string("\x00\xff\x00\nA"sv),
                                                              std::string("\xf0\x9f\x98\x80 a"),
                                                              "1.50",
                                                              "2024-02-29",
                                                              std::nullopt,
                                                              "",
                                                              std::nullopt,
                                                              std::nullopt};
    EXPECT_EQ(values, expected);

    Run("CREATE TABLE t (n INT, s VARCHAR(20))");
    Run("INSERT INTO t SELECT seq, IF(seq % 7 = 0, NULL, CONCAT('row ', seq)) FROM seq_1_to_20000");
    Texts want;
    for (int n = 1; n <= 20000; ++n)
        want.push_back(std::to_string(n) + "|" + (n % 7 ? "row " + std::to_string(n) : "NULL"));
    for (const bool hook : {false, true}) {
        if (hook) connection_->SetWaitHook([] {});
        EXPECT_EQ(Read("SELECT * FROM t ORDER BY n"), want);
    }
}

TEST_F(ReadRowsTest, AHandlerThatStopsEndsTheTransferAndTheConnection) {
    int rows = 0;
    const auto start = std::chrono::steady_clock::now();
    // Far more rows than are read, and a pause that a drained result would wait out.
    connection_->ReadRows("SELECT seq FROM seq_1_to_100000 WHERE seq < 99000 OR SLEEP(20) = 0",
                          [&](const RowView&) { return ++rows < 10; });
    EXPECT_EQ(rows, 10);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(connection_->IsOpen());
    EXPECT_THROW(Run("SELECT 1"), DatabaseError);
    // Other encrypted connections of this thread go on working after the cut.
    EXPECT_NO_THROW(admin_->Query("SELECT 1"));
    EXPECT_NO_THROW(admin_->Query("SELECT 2"));
}

TEST_F(ReadRowsTest, FailuresCarryTheServersMessageAndTheConnectionGoesOn) {
    try {
        Read("SELECT * FROM `no_such_table`");
        FAIL() << "read a missing table";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table' doesn't exist"), std::string::npos) << e.what();
    }
    EXPECT_THROW(Read("SELECT * FROM `a`b`"), DatabaseError);
    EXPECT_EQ(Read("SELECT 7"), Texts{"7"});
    // A statement without rows hands over none.
    EXPECT_TRUE(Read("CREATE TABLE quiet (n INT)").empty());
}

// A statement broken off from this side, by the handler or by giving up the wait for the server, is
// ended on the server too: a server whose client went away goes on with a slow statement until it next
// writes to the client.
TEST_F(ReadRowsTest, AStatementBrokenOffLeavesNothingRunningOnTheServer) {
    const std::string statements = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE DB = '" +
                                   scratch_->Name() + "' AND INFO LIKE 'SELECT seq%'";
    const auto running_after_a_second = [&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        std::string count;
        do {
            count = admin_->Query(statements).at(0).at(0).value_or("?");
        } while (count != "0" && std::chrono::steady_clock::now() < until);
        return count;
    };
    // A first row large enough to be sent at once, then small rows, each after a pause: the server's
    // buffer would take minutes to fill, and only then would it find the client gone.
    const std::string slow = "SELECT seq, IF(seq = 1, REPEAT('x', 40000), SLEEP(0.2)) FROM seq_1_to_1000";
    connection_->ReadRows(slow, [](const RowView&) { return false; });
    EXPECT_EQ(running_after_a_second(), "0") << "the handler's stop";

    for (const std::string& sql : {slow, std::string("SELECT seq FROM seq_1_to_3 WHERE SLEEP(30) = 0")}) {
        auto connection = database_.CreateConnection();
        bool give_up = false;
        connection->SetWaitHook([&] { give_up = true; });
        connection->SetGiveUp([&] { return give_up; });
        connection->Open(Server().UserLogin(scratch_->Name()));
        give_up = false;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_THROW(connection->ReadRows(sql, [](const RowView&) { return true; }), DatabaseError);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(running_after_a_second(), "0") << "given up: " << sql;
    }
}

// A session the server ends part-way (killed, gone) ends the rows with an error, never as a result
// read to its end.
TEST_F(ReadRowsTest, ASessionEndedPartWayFailsTheRead) {
    const std::string id = Read("SELECT CONNECTION_ID()").at(0);
    std::size_t rows = 0;
    EXPECT_THROW(connection_->ReadRows("SELECT seq FROM seq_1_to_20001 WHERE seq < 20000 OR SLEEP(20) = 0",
                                       [&](const RowView&) {
                                           if (++rows == 1) admin_->Run("KILL CONNECTION " + id);
                                           return true;
                                       }),
                 DatabaseError);
    EXPECT_LT(rows, 20000u);
}

// Rows that stop coming part-way: the read time-out ends the transfer with an error, not a hang.
TEST_F(ReadRowsTest, TheReadTimeoutEndsAResultThatStopsPartWay) {
    for (const bool hook : {false, true}) {
        auto connection = database_.CreateConnection();
        connection->SetReadTimeout(1);
        if (hook) connection->SetWaitHook([] {});
        connection->Open(Server().UserLogin(scratch_->Name()));
        std::size_t rows = 0;
        const auto start = std::chrono::steady_clock::now();
        // Megabytes of rows come before the pause, so that the transfer is well under way.
        EXPECT_THROW(
            connection->ReadRows(
                "SELECT seq, REPEAT('x', 200) FROM seq_1_to_20001 WHERE seq < 20000 OR SLEEP(20) = 0",
                [&](const RowView&) { return ++rows > 0; }),
            DatabaseError);
        EXPECT_GT(rows, 1000u);
        EXPECT_LT(rows, 20000u);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    }
}

// Statements in one request: each its rows and end in turn; the one that fails ends the batch with the
// server's message and the later ones are not run; the session reads on. Before any batch, one text
// cannot hold two statements, whatever a name might smuggle in.
TEST_F(ReadRowsTest, ABatchEndsAtItsFailingStatementAndOneTextHoldsOneStatement) {
    EXPECT_THROW(Run("SELECT 1; SELECT 2"), DatabaseError);
    Run("CREATE TABLE a (e TEXT)");
    Run("INSERT INTO a VALUES ('one'), ('two')");
    Run("CREATE TABLE `semi;colon` (e TEXT)");
    Run("INSERT INTO `semi;colon` VALUES ('three')");
    Texts seen;
    const auto on_row = [&](std::size_t statement, const RowView& row) {
        seen.push_back(std::to_string(statement) + " " + std::string(row.Value(0).value_or("NULL")));
        return true;
    };
    const auto on_end = [&](std::size_t statement) { seen.push_back("end " + std::to_string(statement)); };
    const std::vector<std::string> batch{"SELECT * FROM a", "SELECT * FROM a WHERE e = 'none'",
                                         "SELECT * FROM `semi;colon`", "SELECT * FROM missing",
                                         "SELECT @after := 'run'"};
    try {
        connection_->ReadBatch(batch, on_row, on_end);
        ADD_FAILURE() << "the missing table did not fail the batch";
    } catch (const DatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("missing' doesn't exist"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(seen, (Texts{"0 one", "0 two", "end 0", "end 1", "2 three", "end 2"}));
    EXPECT_EQ(Read("SELECT @after"), Texts{"NULL"});

    seen.clear();
    connection_->ReadBatch(std::vector<std::string>{"SELECT * FROM `semi;colon`", "SELECT 'x'"}, on_row,
                           on_end);
    EXPECT_EQ(seen, (Texts{"0 three", "end 0", "1 x", "end 1"}));
}

}  // namespace
}  // namespace kestrelmoor::db
