// SPDX-License-Identifier: MIT
// "Start Extracting" against the real test server: what is listed, in which order, how progress moves,
// and how each failure is reported by line while the run goes on.
#include "core/extraction_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/place_recorder.h"
#include "core/table_readers.h"
#include "db/address_columns.h"
#include "db/mariadb_database.h"
#include "in_memory_ports.h"
#include "support/failing_database.h"
#include "support/memory_database.h"
#include "support/test_server.h"

namespace kestrelmoor::test {
namespace {

using Texts = std::vector<std::string>;
using Lines = std::vector<int>;

class ExtractionRunTest : public ScratchServerTest {
  protected:
    ExtractionRunTest() : ScratchServerTest("extract") {}
    db::Login Profile() const { return ScratchLogin(); }
    void Check(std::initializer_list<const char*> names) {
        for (const char* name : names) tables_.rows.push_back({name, true, {}});
    }
    bool Run(db::Database& database) {
        ExtractionRun run(database, reports_, yield_);
        run.SetConnections(connections_);
        if (clock_) run.SetClock(clock_);
        return run.Start(Profile(), tables_, results_);
    }
    bool Run() { return Run(database_); }
    // The checked tables read on one connection from a server close by, then on `connections` from one
    // that looks far away (each look at the clock a far answer): the same is told, failures too.
    void ExpectAFarRunToTellWhatACloseOneTells(int connections) {
        connections_ = 1;
        clock_ = {};
        results_ = InMemoryResults();
        reports_ = RecordedReports();
        ASSERT_TRUE(Run());
        const InMemoryResults close = results_;
        const RecordedReports close_reports = reports_;
        results_ = InMemoryResults();
        reports_ = RecordedReports();
        connections_ = connections;
        auto now = std::make_shared<FarServerJudge::Clock::time_point>();
        clock_ = [now] { return *now += FarServerJudge::kFarAnswer; };
        ASSERT_TRUE(Run());
        EXPECT_EQ(results_.rows, close.rows);
        EXPECT_EQ(results_.places, close.places);
        EXPECT_EQ(results_.events, close.events);
        EXPECT_EQ(reports_.texts, close_reports.texts);
    }

    db::MariaDbDatabase database_;
    InMemoryTables tables_;
    InMemoryResults results_;
    RecordedReports reports_;
    std::function<void()> yield_;
    int connections_ = ExtractionRun::kDefaultConnections;
    FarServerJudge::Now clock_;
};

// An observer whose output fails at its second address.
class FailsAtSecondAddress : public InMemoryResults {
  public:
    RunControl AddressFound(std::string_view address, const Place& place) override {
        InMemoryResults::AddressFound(address, place);
        return rows.size() == 2 ? RunControl::Stop : RunControl::Continue;
    }
};

TEST(ExtractionRunStopTest, AnObserverThatSaysStopIsToldNoFurtherAddressRowOrTable) {
    MemoryDatabase shop;
    MemoryTable& many = shop.tables["many"];
    many.columns = {"mail"};
    for (int i = 1; i <= 40; ++i) many.rows.push_back({"a" + std::to_string(i) + "@x.co"});
    shop.tables["next"] = {{"mail"}, {{"b@x.co"}}, {}};
    InMemoryTables tables;
    tables.rows = {{"many", true, {}}, {"next", true, {}}};
    RecordedReports reports;
    FailsAtSecondAddress results;
    ExtractionRun run(shop, reports);
    ASSERT_TRUE(run.Start(db::Login{}, tables, results));
    EXPECT_EQ(results.Texts(), (Texts{"a1@x.co", "a2@x.co"}));
    // The addresses are told a few behind the search: the rows read stop soon after the second.
    ASSERT_EQ(results.events.size(), 2u);
    EXPECT_EQ(results.events[0], "start many");
    const std::int64_t rows = std::stoll(results.events[1].substr(4));
    EXPECT_LT(rows, 20);
    EXPECT_EQ(results.events[1], "end " + std::to_string(rows) + " cut");
    EXPECT_TRUE(reports.texts.empty());
}

// A stop does not wait for a table that another connection is still waiting for.
TEST_F(ExtractionRunTest, AStopCutsShortTheWaitOfTheOtherConnections) {
    // First answers slow enough that the run reads the tables after them ahead.
    Sql("CREATE VIEW lag AS SELECT SLEEP(0.05) AS pause");
    Sql("CREATE TABLE first (e TEXT)");
    Sql("INSERT INTO first VALUES ('b@example.com'), ('c@example.com')");
    Sql("CREATE VIEW slow AS SELECT SLEEP(60) AS pause, 'd@example.com' AS e");
    Check({"lag", "lag", "first", "slow"});
    FailsAtSecondAddress results;
    ExtractionRun run(database_, reports_);
    const auto began = std::chrono::steady_clock::now();
    ASSERT_TRUE(run.Start(Profile(), tables_, results));
    EXPECT_EQ(results.Texts(), (Texts{"b@example.com", "c@example.com"}));
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(30));
    EXPECT_TRUE(reports_.texts.empty());
}

TEST_F(ExtractionRunTest, ListsEachAddressOnceInTableRowAndColumnOrder) {
    Sql("CREATE TABLE people (id INT, name VARCHAR(40), email VARCHAR(80), alt VARCHAR(80), note TEXT,"
        " born DATE, balance DECIMAL(10,2), photo BLOB)");
    Sql("INSERT INTO people VALUES"
        " (1, 'Ann', 'Ann@Example.com', NULL, 'second: ann.b@example.org', '1980-02-03', 12.50, NULL),"
        " (2, 'Bob', NULL, 'bob@example.net', NULL, NULL, NULL, 'blob@example.com'),"
        " (3, 'Cy', 'cy@exam\\nple.com', NULL, 'no address, just 3.14 and @ signs', NULL, -1.00, NULL),"
        " (4, 'Di', 'x@y.z', 'di@example.com.', 'di@example.com', '2000-01-01', 0, X'00FF40')");
    Sql("CREATE TABLE orders (id INT, contact VARCHAR(80))");
    Sql("INSERT INTO orders VALUES (1, 'ann@example.COM'), (2, 'eve@example.com'), (3, 'EVE@EXAMPLE.COM')");
    Sql("CREATE TABLE empty_one (a INT)");
    Check({"people", "empty_one", "orders"});

    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), (Texts{"Ann@Example.com", "ann.b@example.org", "bob@example.net",
                                       "blob@example.com", "di@example.com", "eve@example.com"}));
    for (const auto& row : results_.rows) EXPECT_TRUE(row.second) << row.first;
    // An address that a line feed splits is two words; one that ends a sentence is found.
    EXPECT_EQ(results_.places, (Texts{"people.email:1", "people.note:1", "people.alt:2", "people.photo:2",
                                      "people.alt:4", "orders.contact:2"}));
    EXPECT_TRUE(reports_.texts.empty()) << reports_.texts.front();
}

TEST_F(ExtractionRunTest, NullFieldsAddOnlyTheirSpace) {
    // Without the space a NULL adds, "a@b.co" and "c@d.co" would stay apart anyway; what matters is
    // that neither NULL text nor a missing separator joins the neighbours into one token.
    Sql("CREATE TABLE t (a VARCHAR(20), b VARCHAR(20), c VARCHAR(20))");
    Sql("INSERT INTO t VALUES ('x@a', NULL, 'b.co'), ('first@a.co', NULL, 'second@b.co')");
    Check({"t"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), (Texts{"first@a.co", "second@b.co"}));
}

TEST_F(ExtractionRunTest, EachTableStartsAndEndsWithItsRowCount) {
    Sql("CREATE TABLE four (a INT)");
    Sql("INSERT INTO four VALUES (1), (2), (3), (4)");
    Sql("CREATE TABLE none (a INT)");
    Sql("CREATE TABLE two (a INT)");
    Sql("INSERT INTO two VALUES (1), (2)");
    Check({"four", "none", "two"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.events, (Texts{"start four", "end 4", "start none", "end 0", "start two", "end 2"}));
}

TEST_F(ExtractionRunTest, EachTableIsToldTheServersEstimateWhereItHasOne) {
    Sql("CREATE TABLE counted (a INT) ENGINE=MyISAM");  // keeps an exact count
    Sql("INSERT INTO counted VALUES (1), (2), (3)");
    Sql("CREATE VIEW seen AS SELECT a FROM counted");  // no estimate of its own
    Check({"counted", "seen"});
    struct Estimates : RunObserver {
        std::vector<std::string> told;
        void TableStarted(std::string_view /*database*/, std::string_view table) override {
            told.emplace_back(table);
        }
        void TableEstimated(std::int64_t rows) override { told.back() += " ~" + std::to_string(rows); }
    } estimates;
    RunObservers both{&results_, &estimates};
    ExtractionRun run(database_, reports_);
    ASSERT_TRUE(run.Start(Profile(), tables_, both));
    EXPECT_EQ(estimates.told, (Texts{"counted ~3", "seen"}));
    EXPECT_TRUE(reports_.texts.empty());
}

TEST_F(ExtractionRunTest, UncheckedTablesAreSkippedAndASecondRunListsEverythingAgain) {
    Sql("CREATE TABLE a (e VARCHAR(40))");
    Sql("INSERT INTO a VALUES ('one@example.com')");
    Sql("CREATE TABLE b (e VARCHAR(40))");
    Sql("INSERT INTO b VALUES ('two@example.com')");
    Check({"a", "b"});
    tables_.rows[0].checked = false;
    results_.rows.push_back({"stale@example.com", true});
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), Texts{"two@example.com"});

    tables_.rows[0].checked = true;
    ASSERT_TRUE(Run());
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), (Texts{"one@example.com", "two@example.com"}));

    for (TableRow& row : tables_.rows) row.checked = false;
    results_.events.clear();
    ASSERT_TRUE(Run());
    EXPECT_TRUE(results_.rows.empty());
    EXPECT_TRUE(results_.events.empty());
    EXPECT_TRUE(reports_.texts.empty());
}

TEST_F(ExtractionRunTest, NamesWithGraveAccentsAreQuotedAndCannotChangeTheQuery) {
    Sql("CREATE TABLE `odd``name` (e VARCHAR(40))");
    Sql("INSERT INTO `odd``name` VALUES ('odd@example.com')");
    Sql("CREATE TABLE victim (e VARCHAR(40))");
    Sql("INSERT INTO victim VALUES ('victim@example.com')");
    Check({"odd`name", "victim`; DROP TABLE victim; --"});
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), Texts{"odd@example.com"});
    ASSERT_EQ(reports_.Lines(), Lines{124});
    EXPECT_NE(reports_.texts[0].find("doesn't exist"), std::string::npos) << reports_.texts[0];
    EXPECT_EQ(admin_->Query("SELECT COUNT(*) FROM `" + scratch_->Name() + "`.victim").at(0).at(0), "1");
}

TEST_F(ExtractionRunTest, TablesOfTwoDatabasesAreReadOnOneLoginAndEveryAddressMetIsCountedByPlace) {
    ScratchDatabase other(*admin_, "extract_other");
    Sql("CREATE TABLE t (a TEXT, b TEXT)");
    Sql("INSERT INTO t VALUES ('Ann@Example.com', 'ann@example.com, ANN@example.com'), (NULL, "
        "'bob@example.org'),"
        " ('x', 'ann@EXAMPLE.com')");
    admin_->Run("CREATE TABLE `" + other.Name() + "`.t (a TEXT)");
    admin_->Run("INSERT INTO `" + other.Name() + "`.t VALUES ('bob@EXAMPLE.org'), ('ann@example.com')");
    tables_.rows = {{"t", true, ""}, {"t", true, other.Name()}};
    PlaceRecorder places;
    RunObservers both{&results_, &places};
    ExtractionRun run(database_, reports_);
    ASSERT_TRUE(run.Start(Profile(), tables_, both));

    EXPECT_EQ(results_.Texts(), (Texts{"Ann@Example.com", "bob@example.org"}));
    EXPECT_EQ(results_.events, (Texts{"start t", "end 3", "start " + other.Name() + ".t", "end 2"}));
    Texts described;
    for (std::size_t number = 0; number < places.AddressCount(); ++number) {
        std::string line(places.Address(number));
        for (const auto& place : places.PlacesOf(number)) {
            line += " " + std::string(place.database) + "." + std::string(place.table) + "." +
                    std::string(place.column) + "=" + std::to_string(place.rows);
        }
        described.push_back(line);
    }
    const std::string& mine = scratch_->Name();
    EXPECT_EQ(described,
              (Texts{"Ann@Example.com " + mine + ".t.a=1 " + mine + ".t.b=2 " + other.Name() + ".t.a=1",
                     "bob@example.org " + mine + ".t.b=1 " + other.Name() + ".t.a=1"}));
    EXPECT_TRUE(reports_.texts.empty()) << reports_.texts.front();
}

TEST_F(ExtractionRunTest, ADroppedTableIsReportedOnceAndTheRunGoesOn) {
    Sql("CREATE TABLE a (e VARCHAR(40))");
    Sql("INSERT INTO a VALUES ('a@example.com'), ('b@example.com')");
    Sql("CREATE TABLE gone (e VARCHAR(40))");
    Sql("INSERT INTO gone VALUES ('gone@example.com')");
    Sql("CREATE TABLE c (e VARCHAR(40))");
    Sql("INSERT INTO c VALUES ('c@example.com')");
    Check({"a", "gone", "c"});
    Sql("DROP TABLE gone");
    ASSERT_TRUE(Run());
    EXPECT_EQ(results_.Texts(), (Texts{"a@example.com", "b@example.com", "c@example.com"}));
    ASSERT_EQ(reports_.Lines(), Lines{124});
    EXPECT_EQ(
        reports_.texts[0].substr(reports_.texts[0].find("\r\n")),
        "\r\nin Kestrelwick2017/04/05.Form2.PushButton4_Click at line 124\r\rPlease email screenshot of "
        "this message to support@kestrelmoor.org");
}

TEST_F(ExtractionRunTest, ALoginThatFailsIsReportedAtLine110AndEachTableInItsTurn) {
    Check({"a", "b"});
    tables_.rows[1].checked = false;
    Check({"c"});
    db::Login wrong = Profile();
    wrong.password += "-wrong";
    ExtractionRun run(database_, reports_, {});
    ASSERT_TRUE(run.Start(wrong, tables_, results_));
    EXPECT_EQ(reports_.Lines(), (Lines{110, 124, 124}));
    EXPECT_NE(reports_.texts[0].find("Access denied"), std::string::npos) << reports_.texts[0];
}

TEST_F(ExtractionRunTest, AComponentThatCannotBeCreatedFailsEachStepThatNeedsIt) {
    Check({"a"});
    FailingDatabase broken;
    results_.rows.push_back({"old@example.com", true});
    ASSERT_TRUE(Run(broken));
    // Every step on the missing connection fails; the list is still emptied; the closing test fails
    // and goes on inside, so the close is tried (and fails) too.
    EXPECT_EQ(reports_.Lines(), (Lines{100, 104, 106, 110, 124, 170, 170}));
    EXPECT_EQ(reports_.texts[0].substr(0, reports_.texts[0].find("\r\n")),
              "The database component cannot be created");
    EXPECT_TRUE(results_.rows.empty());
}

TEST_F(ExtractionRunTest, AStartDuringARunIsRefusedAndTheRunFinishes) {
    Sql("CREATE TABLE t (e VARCHAR(40))");
    Sql("INSERT INTO t VALUES ('a@example.com'), ('b@example.com'), ('c@example.com')");
    Check({"t"});
    int refused = 0;
    InMemoryResults other_results;
    ExtractionRun* self = nullptr;
    // The "click" that arrives while the run lets pending events run.
    ExtractionRun run(database_, reports_,
                      [&] { refused += !self->Start(Profile(), tables_, other_results); });
    self = &run;
    ASSERT_TRUE(run.Start(Profile(), tables_, results_));
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(other_results.rows.empty());
    EXPECT_EQ(results_.Texts(), (Texts{"a@example.com", "b@example.com", "c@example.com"}));
    EXPECT_FALSE(run.Running());
}

// The server kills the run's session between two tables: the next table meets the lost link and fails,
// the connection is opened again before the one after it, which is read (when it cannot be, the later
// tables fail: the memory tests say so).
TEST_F(ExtractionRunTest, ASessionKilledBetweenTablesIsOpenedAgainAndTheRunGoesOn) {
    Sql("CREATE TABLE first (e VARCHAR(40))");
    Sql("INSERT INTO first VALUES ('one@example.com'), ('two@example.com')");
    Sql("CREATE TABLE second (e VARCHAR(40))");
    Sql("INSERT INTO second VALUES ('three@example.com')");
    Sql("CREATE TABLE third (e VARCHAR(40))");
    Sql("INSERT INTO third VALUES ('four@example.com')");
    Check({"first", "second", "third"});
    connections_ = 1;  // with more, the later tables are read before the server goes
    bool killed = false;
    yield_ = [&] {
        // Once the first table's rows are being read (the run also yields while it waits for the server).
        if (killed || results_.events.empty() || results_.events.back() != "end 2") return;
        killed = true;
        // The server ends every session of the run's login, as a stopped server would.
        for (const Row& row : admin_->Query("SHOW PROCESSLIST")) {
            if (row.size() > 3 && row[3] == scratch_->Name() && row[1] == Server().user) {
                admin_->Run("KILL CONNECTION " + *row[0]);
            }
        }
    };
    ASSERT_TRUE(Run());
    EXPECT_TRUE(killed);
    EXPECT_EQ(results_.Texts(), (Texts{"one@example.com", "two@example.com", "four@example.com"}));
    EXPECT_EQ(reports_.Lines(), (Lines{124}));
}

TEST_F(ExtractionRunTest, ATableCutOffWhileItArrivesIsReportedAndItsAddressesAreFoundLater) {
    // Big enough that the server is still sending when the statement is killed.
    Sql("CREATE TABLE big (id INT, e VARCHAR(40))");
    Sql("INSERT INTO big SELECT seq, CONCAT('row', seq, '@example.com') FROM seq_1_to_300000");
    Sql("CREATE TABLE later (e VARCHAR(80))");
    Sql("INSERT INTO later VALUES ('row1@example.com ROW2@example.com')");
    Check({"big", "later"});
    bool killed = false;
    yield_ = [&] {
        if (killed) return;
        for (const Row& row : admin_->Query("SHOW PROCESSLIST")) {
            if (row.size() > 7 && row[3] == scratch_->Name() && row[7] == "SELECT * FROM `big`") {
                killed = true;
                admin_->Run("KILL QUERY " + *row[0]);  // the statement ends; the session goes on
            }
        }
    };
    ASSERT_TRUE(Run());
    ASSERT_TRUE(killed);
    ASSERT_EQ(reports_.Lines(), Lines{124});
    EXPECT_NE(reports_.texts[0].find("interrupted"), std::string::npos) << reports_.texts[0];
    // The rows that arrived before the cut are listed as they came; the later table adds nothing new.
    const Texts found = results_.Texts();
    ASSERT_GE(found.size(), 2u);
    EXPECT_LT(found.size(), 300000u);
    for (std::size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], "row" + std::to_string(i + 1) + "@example.com");
    EXPECT_EQ(results_.events,
              (Texts{"start big", "failed 124", "end " + std::to_string(found.size()) + " cut", "start later",
                     "end 1"}));
}

// A server far away is asked for only the columns that can hold an address (no number, date or time; a
// table of numbers only is counted) and of those only the values holding "@" in any character set, or
// the byte in a binary one; what is told is what the whole rows give.
TEST_F(ExtractionRunTest, AFarServerIsAskedForTheValuesThatCanHoldAnAddressWithTheSameResult) {
    Sql("CREATE TABLE a1 (e TEXT)");
    Sql("INSERT INTO a1 VALUES ('one@x.example')");
    Sql("CREATE TABLE a2 (e TEXT)");
    Sql("CREATE TABLE every_type (i INT, ti TINYINT, si SMALLINT, mi MEDIUMINT, bi BIGINT, de DECIMAL(10,2), "
        "fl FLOAT, du DOUBLE, d DATE, dt DATETIME, ts TIMESTAMP NULL, t TIME, y YEAR, c CHAR(40), v "
        "VARCHAR(80), "
        "tx TEXT, bn BINARY(20), vb VARBINARY(80), bl BLOB, j JSON, e ENUM('a@e.example', 'b'), "
        "st SET('s@e.example', 't'), b BIT(8), g GEOMETRY, u VARCHAR(40) CHARACTER SET utf16, "
        "l VARCHAR(40) CHARACTER SET latin1, w VARCHAR(40) CHARACTER SET utf32, k VARCHAR(40) CHARACTER SET "
        "big5)");
    Sql("INSERT INTO every_type SELECT seq, 1, 2, 3, 4, 5.5, 6.5, 7.5, '2020-01-02', '2020-01-02 03:04:05', "
        "NULL, "
        "'01:02:03', 2021, CONCAT('c', seq, '@c.example'), CONCAT('V', seq MOD 3, '@C.example'), "
        "CONCAT('text ', seq, '@t.example'), CONCAT('b', seq MOD 2, '@b.example'), 'vb@x.example', "
        "CONCAT('blob', seq, '@one.example'), JSON_OBJECT('m', CONCAT('j', seq, '@j.example')), "
        "IF(seq MOD 2, 'a@e.example', 'b'), 's@e.example,t', b'01000000', POINT(1, 2), "
        "CONCAT('u', seq, '@utf16.example'), IF(seq MOD 4, 'no at', CONCAT('l', seq, '@l.example')), "
        "IF(seq MOD 3, CONCAT('w', seq, '\xef\xbc\xa0w.example'), CONCAT('w', seq, '@w.example')), "
        "CONCAT('\xe4\xb8\x80', seq, IF(seq MOD 2, '\xe4\xb8\x80k.example', '@k.example')) FROM "
        "seq_1_to_300");
    // Values without "@" and binary ones with the byte in them.
    Sql("UPDATE every_type SET c = 'no address', tx = NULL, bn = UNHEX('0040FF41'), vb = "
        "CONCAT('x@y.example', UNHEX('FF')) "
        "WHERE i MOD 5 = 0");
    Sql("CREATE TABLE numbers (id INT, n DOUBLE)");
    Sql("INSERT INTO numbers SELECT seq, seq / 3 FROM seq_1_to_77");
    Sql("CREATE VIEW view_of AS SELECT i, v FROM every_type");
    Check({"a1", "a2", "every_type", "numbers", "view_of", "every_type"});
    ExpectAFarRunToTellWhatACloseOneTells(4);
    EXPECT_GT(results_.rows.size(), 1000u);
    EXPECT_TRUE(reports_.texts.empty());
    ExpectAFarRunToTellWhatACloseOneTells(1);  // far from the login on, reading on its own connection

    auto connection = database_.CreateConnection();
    connection->Open(Profile());
    const db::AddressColumns columns = db::ReadAddressColumns(*connection);
    std::string tests;
    for (const db::AddressColumn& column : columns.at("every_type"))
        tests += column.name + (column.tested ? "? " : " ");
    EXPECT_EQ(tests, "c? v? tx? bn? vb? bl? j? e? st? b g u? l? w? k? ");
    EXPECT_TRUE(columns.at("numbers").empty());
    EXPECT_FALSE(columns.contains("view_of"));
    EXPECT_EQ(db::ReadingStatement("", "numbers", &columns.at("numbers")), "SELECT COUNT(*) FROM `numbers`");
}

// Many small tables of a far server go in batches: what is told is what one connection tells, with a
// table missing in the middle of the list and at its end, and names that need quoting.
TEST_F(ExtractionRunTest, SmallTablesAskedForInBatchesTellWhatOneConnectionTells) {
    std::vector<std::string> names;
    for (int i = 1; i <= 40; ++i) names.push_back("t" + std::to_string(100 + i));
    names.insert(names.begin() + 12, {"back`quote", "with space", "ünïcödé"});
    const auto create = [&](const std::string& name, int n) {
        std::string quoted = name;
        for (std::size_t at = quoted.find('`'); at != std::string::npos; at = quoted.find('`', at + 2))
            quoted.insert(at, "`");
        Sql("CREATE TABLE IF NOT EXISTS `" + quoted + "` (id INT, e TEXT, n INT)");
        Sql("DELETE FROM `" + quoted + "`");
        Sql("INSERT INTO `" + quoted + "` SELECT seq, CONCAT('u', seq * " + std::to_string(n) +
            " MOD 17, '@t', seq MOD 3, '.example'), seq FROM seq_1_to_" + std::to_string(1 + n % 5));
    };
    const auto create_all = [&] {
        for (std::size_t i = 0; i < names.size(); ++i) create(names[i], static_cast<int>(i));
    };
    for (const std::string& name : names) tables_.rows.push_back({name, true, {}});
    create_all();
    Sql("DROP TABLE t107");
    Sql("DROP TABLE t140");
    const auto batches_before = admin_->Query("SHOW GLOBAL STATUS LIKE 'Com_set_option'");
    ExpectAFarRunToTellWhatACloseOneTells(4);
    EXPECT_EQ(reports_.Lines(), (Lines{124, 124}));
    const auto batches_after = admin_->Query("SHOW GLOBAL STATUS LIKE 'Com_set_option'");
    EXPECT_GT(std::stoi(*batches_after.at(0).at(1)), std::stoi(*batches_before.at(0).at(1)));
}

// A table of a batch that fails, in the middle or at the end, fails alone and the tables after it are
// asked for again; the connection of a batch killed while the server sends a table of it costs that
// table, with what arrived, and those after it are read on a connection opened anew.
TEST_F(ExtractionRunTest, ATableThatFailsInABatchCostsItselfOnlyAndSoDoesALostConnection) {
    Sql("CREATE TABLE a (e TEXT)");
    Sql("INSERT INTO a SELECT CONCAT('a', seq, '@a.example') FROM seq_1_to_300");
    // More than the link holds, so that the server is still sending it when the session is killed.
    Sql("CREATE TABLE big (e TEXT)");
    Sql("INSERT INTO big SELECT CONCAT('b', seq, '@big.example ', REPEAT('x', 60)) FROM seq_1_to_600000");
    Sql("CREATE TABLE c (e TEXT)");
    Sql("INSERT INTO c VALUES ('c@c.example')");
    Sql("CREATE TABLE d (e TEXT)");
    Sql("INSERT INTO d VALUES ('d@d.example')");
    auto first = database_.CreateConnection();
    first->Open(Profile());
    std::string id;
    first->ReadRows("SELECT CONNECTION_ID()", [&](const db::RowView& row) {
        id = std::string(*row.Value(0));
        return true;
    });
    TableReaders::Settings settings;
    settings.most_bytes_ahead = 1;  // the thread waits after the first rows of `a` until they are taken
    // Estimated small, missing ones too (as when dropped after the estimates), so that all go in one
    // batch on the one connection.
    const std::vector<std::string> names{"a", "big", "c", "missing", "d", "missing_too"};
    db::RowEstimates estimates;
    std::vector<TableReaders::Table> tables;
    for (const std::string& name : names) {
        estimates.emplace(name, 1);
        tables.push_back({"", name});
    }
    TableReaders readers(database_, Profile(), *first, settings, KnownCatalogue{estimates, {}});
    const auto tickets = readers.QueueAll(tables);
    bool killed = false;
    for (int i = 0; i < 500 && !killed; ++i) {
        for (const Row& row : admin_->Query("SHOW PROCESSLIST")) {
            if (row.size() > 7 && row[0] == id && row[7] && row[7]->find("`big`") != std::string::npos) {
                admin_->Run("KILL CONNECTION " + id);
                killed = true;
            }
        }
        if (!killed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(killed);
    const auto read = [&](TableReaders::Ticket ticket) {
        std::pair<std::int64_t, std::optional<std::string>> end;
        for (TableNews news = readers.Take(ticket, 100);; news = readers.Take(ticket, 100)) {
            if (news.gone) return end;
            if (news.ended) return std::pair{news.rows, news.failure};
        }
    };
    EXPECT_EQ(read(tickets[0]), (std::pair<std::int64_t, std::optional<std::string>>{300, std::nullopt}));
    const auto [big_rows, big_failure] = read(tickets[1]);
    EXPECT_TRUE(big_failure);
    EXPECT_LT(big_rows, 600000);
    EXPECT_EQ(read(tickets[2]), (std::pair<std::int64_t, std::optional<std::string>>{1, std::nullopt}));
    EXPECT_NE(read(tickets[3]).second.value_or("").find("missing' doesn't exist"), std::string::npos);
    EXPECT_EQ(read(tickets[4]), (std::pair<std::int64_t, std::optional<std::string>>{1, std::nullopt}));
    EXPECT_NE(read(tickets[5]).second.value_or("").find("missing_too' doesn't exist"), std::string::npos);
}

// A big InnoDB table with an integer key is read in ranges of it on several connections at once, and
// told as one full scan tells it: its rows in order, numbered as in the table. Tables whose full scan
// follows no such key (MyISAM, a composite key, none) are read whole.
TEST_F(ExtractionRunTest, ABigTableIsReadInRangesOfItsKeyAsOneScanReadsIt) {
    Sql("CREATE TABLE big (id INT PRIMARY KEY, e TEXT) ENGINE=InnoDB");
    Sql("INSERT INTO big SELECT seq * 3, CONCAT('b', seq, '@big.example ', REPEAT('x', 100)) "
        "FROM seq_1_to_300000");
    Sql("ANALYZE TABLE big");
    Sql("CREATE TABLE heap (id INT PRIMARY KEY, e TEXT) ENGINE=MyISAM");
    // Big enough to be split, were its rows in key order: the rows put back fill the holes.
    Sql("INSERT INTO heap SELECT seq, CONCAT('h', seq, '@x.example') FROM seq_1_to_120000");
    Sql("DELETE FROM heap WHERE id MOD 7 = 0");
    Sql("INSERT INTO heap SELECT seq * 7, CONCAT('g', seq, '@x.example') FROM seq_1_to_17000");
    Sql("CREATE TABLE pair (a INT, b INT, e TEXT, PRIMARY KEY (b, a))");
    Sql("INSERT INTO pair SELECT seq MOD 9, seq, CONCAT('p', seq, '@x.example') FROM seq_1_to_500");
    Check({"heap", "big", "pair", "big"});
    ExpectAFarRunToTellWhatACloseOneTells(3);
    EXPECT_TRUE(reports_.texts.empty());

    // The ranges are read at once: two connections each send one while the taker takes neither.
    auto first = database_.CreateConnection();
    first->Open(Profile());
    TableReaders::Settings settings;
    settings.threads = 2;
    settings.most_bytes_ahead = 1;
    TableReaders readers(database_, Profile(), *first, settings,
                         KnownCatalogue{db::RowEstimates{{"big", 300000}}, {}});
    const TableReaders::Ticket ticket = readers.QueueAll({{"", "big"}}).front();
    int ranges_sent = 0;
    for (int i = 0; i < 500 && ranges_sent < 2; ++i) {
        ranges_sent = 0;
        for (const Row& row : admin_->Query("SHOW FULL PROCESSLIST"))
            if (row.size() > 7 && row[7] && row[7]->find("ORDER BY `id`") != std::string::npos) ++ranges_sent;
        if (ranges_sent < 2) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ranges_sent, 2);
    std::int64_t rows = 0;
    for (TableNews news = readers.Take(ticket, 100); !news.gone; news = readers.Take(ticket, 100)) {
        rows = news.rows;
        if (news.ended) break;
    }
    EXPECT_EQ(rows, 300000);
}

}  // namespace
}  // namespace kestrelmoor::test
