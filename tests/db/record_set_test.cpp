// Record sets read from the test server: stored results read in place.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "db/connection_profile.h"
#include "db/mariadb_database.h"
#include "db/row_view.h"
#include "support/test_server.h"

namespace kestrelmoor::db {
namespace {

using namespace std::string_view_literals;

class RecordSetTest : public test::ServerTest {
  protected:
    void SetUp() override {
        test::ServerTest::SetUp();
        if (HasFatalFailure()) return;
        admin_ = std::make_unique<test::AdminSession>();
        scratch_ = std::make_unique<test::ScratchDatabase>(*admin_, "records");
        connection_ = database_.CreateConnection();
        connection_->SetCursorLocation(3);
        connection_->Open(BuildConnectionString(Server().UserProfile(scratch_->Name())));
    }

    void Run(const std::string& sql) { connection_->Execute(sql); }

    std::unique_ptr<RecordSet> Open(const std::string& sql) {
        auto records = database_.CreateRecordSet();
        records->Open(sql, *connection_);
        return records;
    }

    MariaDbDatabase database_;
    std::unique_ptr<test::AdminSession> admin_;
    std::unique_ptr<test::ScratchDatabase> scratch_;
    std::unique_ptr<Connection> connection_;
};

TEST_F(RecordSetTest, RecordCountIsExactAtOnceAndTheRowsEndInEof) {
    Run("CREATE TABLE t (n INT, s VARCHAR(20))");
    Run("INSERT INTO t SELECT seq, CONCAT('row ', seq) FROM seq_1_to_2500");
    auto records = Open("SELECT * FROM `t` ORDER BY n");
    EXPECT_EQ(records->State(), 1);
    ASSERT_EQ(records->RecordCount(), 2500);
    ASSERT_EQ(records->FieldCount(), 2u);
    EXPECT_FALSE(records->Eof());
    for (int i = 1; i <= 2500; ++i) {
        ASSERT_EQ(records->Value(0), std::to_string(i));
        ASSERT_EQ(records->Value(1), "row " + std::to_string(i));
        records->MoveNext();
    }
    EXPECT_TRUE(records->Eof());
    EXPECT_THROW(records->MoveNext(), DatabaseError);
    EXPECT_THROW(records->Value(0), DatabaseError);
    records->Close();
    EXPECT_EQ(records->State(), 0);
    EXPECT_THROW(records->RecordCount(), DatabaseError);
}

TEST_F(RecordSetTest, EmptyResultIsEofAtOnce) {
    Run("CREATE TABLE empty_one (n INT)");
    auto records = Open("SELECT * FROM `empty_one`");
    EXPECT_TRUE(records->Eof());
    EXPECT_EQ(records->RecordCount(), 0);
    EXPECT_EQ(records->FieldCount(), 1u);
}

TEST_F(RecordSetTest, NullIsNotEmptyText) {
    auto records = Open("SELECT NULL, '', 'x'");
    EXPECT_EQ(records->Value(0), std::nullopt);
    ASSERT_TRUE(records->Value(1).has_value());
    EXPECT_EQ(*records->Value(1), "");
    EXPECT_EQ(records->Value(2), "x");
    EXPECT_THROW(records->Value(3), DatabaseError);
}

TEST_F(RecordSetTest, BytesComeAsTheServerSendsThem) {
    Run("CREATE TABLE b (raw VARBINARY(16), txt TEXT CHARACTER SET utf8mb4, num DECIMAL(5,2), d DATE)");
    Run("INSERT INTO b VALUES (X'00FF000A41', _utf8mb4 X'F09F98802061', 1.5, '2024-02-29')");
    auto records = Open("SELECT * FROM b");
    EXPECT_EQ(records->Value(0),
              "\x00\xff\x00\n"
              "A"sv);
    EXPECT_EQ(records->Value(1), "\xf0\x9f\x98\x80 a"sv);
    EXPECT_EQ(records->Value(2), "1.50");
    EXPECT_EQ(records->Value(3), "2024-02-29");
}

TEST_F(RecordSetTest, RowsOutliveTheConnection) {
    auto records = Open("SELECT 'kept' UNION ALL SELECT 'too'");
    connection_->Close();
    connection_.reset();
    EXPECT_EQ(records->Value(0), "kept");
    records->MoveNext();
    EXPECT_EQ(records->Value(0), "too");
}

std::string Joined(std::optional<std::string_view> a, std::optional<std::string_view> b) {
    return std::string(a.value_or("NULL")) + "|" + std::string(b.value_or("NULL"));
}

// Records each row as it arrives, and on which thread.
class RowLog final : public RowObserver {
  public:
    void RowArrived(const RowView& row) override {
        threads.insert(std::this_thread::get_id());
        texts.push_back(Joined(row.Value(0), row.Value(1)));
        in_packet_buffer += row.InOrderInBuffer() ? 1 : 0;
    }
    std::vector<std::string> texts;
    std::set<std::thread::id> threads;
    int in_packet_buffer = 0;
};

TEST_F(RecordSetTest, AnObserverTakesEachRowOnArrivalAndTheRecordSetOnlyCountsThem) {
    Run("CREATE TABLE t (n INT, s VARCHAR(20))");
    Run("INSERT INTO t SELECT seq, IF(seq % 7 = 0, NULL, CONCAT('row ', seq)) FROM seq_1_to_20000");
    std::vector<std::string> expected;
    for (int n = 1; n <= 20000; ++n) {
        expected.push_back(std::to_string(n) + "|" + (n % 7 == 0 ? "NULL" : "row " + std::to_string(n)));
    }
    for (const bool hook : {false, true}) {
        // With a wait hook the rows are fetched, and so taken, on a worker thread.
        if (hook) connection_->SetWaitHook([] {});
        RowLog log;
        auto records = database_.CreateRecordSet();
        records->Open("SELECT * FROM t ORDER BY n", *connection_, &log);
        EXPECT_EQ(log.texts, expected);
        // Where one search over a row's values is possible: every row here.
        EXPECT_EQ(log.in_packet_buffer, 20000);
        EXPECT_EQ(log.threads.count(std::this_thread::get_id()), hook ? 0u : 1u);
        ASSERT_EQ(records->RecordCount(), 20000);
        EXPECT_EQ(records->FieldCount(), 2u);
        EXPECT_THROW(records->Value(0), DatabaseError);
        for (int i = 0; i < 20000; ++i) records->MoveNext();
        EXPECT_TRUE(records->Eof());
    }
}

// Rows that stop coming part-way, while the observer takes them: the command time-out ends the
// fetch with an error instead of a hang.
TEST_F(RecordSetTest, TheCommandTimeoutEndsAResultThatStopsPartWay) {
    auto connection = database_.CreateConnection();
    connection->SetCommandTimeout(1);
    connection->Open(BuildConnectionString(Server().UserProfile(scratch_->Name())));
    RowLog log;
    auto records = database_.CreateRecordSet();
    const auto start = std::chrono::steady_clock::now();
    // Megabytes of rows come before the pause, so that the fetch is well under way.
    EXPECT_THROW(
        records->Open("SELECT seq, REPEAT('x', 200) FROM seq_1_to_20001 WHERE seq < 20000 OR SLEEP(20) = 0",
                      *connection, &log),
        DatabaseError);
    EXPECT_GT(log.texts.size(), 1000u);
    EXPECT_LT(log.texts.size(), 20000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(records->State(), 0);
}

TEST_F(RecordSetTest, QueryErrorsCarryTheServersMessage) {
    auto records = database_.CreateRecordSet();
    try {
        records->Open("SELECT * FROM `no_such_table`", *connection_);
        FAIL() << "opened a missing table";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table' doesn't exist"), std::string::npos) << e.what();
    }
    EXPECT_EQ(records->State(), 0);
    try {
        Open("SELECT * FROM `a`b`");
        FAIL() << "ran a malformed query";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("SQL syntax"), std::string::npos) << e.what();
    }
    // The connection goes on working after a failed statement.
    EXPECT_EQ(Open("SELECT 7")->Value(0), "7");
}

TEST_F(RecordSetTest, ExecuteReturnsTheStatementsRows) {
    Run("CREATE TABLE first_one (n INT)");
    Run("CREATE TABLE second_one (n INT)");
    const auto tables = connection_->Execute("SHOW TABLES;");
    ASSERT_EQ(tables->RecordCount(), 2);
    EXPECT_EQ(tables->Value(0), "first_one");
    tables->MoveNext();
    EXPECT_EQ(tables->Value(0), "second_one");

    // A statement without rows gives a closed record set.
    EXPECT_EQ(connection_->Execute("DROP TABLE second_one")->State(), 0);
    auto records = database_.CreateRecordSet();
    EXPECT_THROW(records->Open("DROP TABLE first_one", *connection_), DatabaseError);
}

}  // namespace
}  // namespace kestrelmoor::db
