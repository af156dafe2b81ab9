// SPDX-License-Identifier: MIT
// The run over several connections, without a server: whatever order the tables end in, what the
// observers are told is what one connection tells; a server that refuses connections is a note.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/extraction_run.h"
#include "core/far_server_judge.h"
#include "core/place_recorder.h"
#include "core/tables_ahead.h"
#include "db/connections_refused.h"
#include "in_memory_ports.h"
#include "support/memory_database.h"

namespace kestrelmoor::test {
namespace {

// Each statement waits this long, as on a server far away.
constexpr auto kAnswer = std::chrono::milliseconds(2);

// The run's clock: each look moves it on by `step`, so that a table's first answer takes one step and
// its whole read two (far away: the run reads ahead after two tables) or so little that it is close.
FarServerJudge::Now SteppingClock(FarServerJudge::Clock::duration step) {
    auto now = std::make_shared<FarServerJudge::Clock::time_point>();
    return [now, step] { return *now += step; };
}
const auto kFar = FarServerJudge::kFarAnswer;
const auto kClose = std::chrono::microseconds(1);

// The memory database as a server far away (each statement answered late), with a table held back
// until three others have been read, and room for `most_open` connections at once.
class HeldBackDatabase : public db::Database {
  public:
    MemoryDatabase memory;
    std::string held_back;
    int most_open = 64;
    std::atomic<int> opened{0};
    std::atomic<int> opens_left{1 << 20};  // then every connect fails

    // "open N" and "read TABLE on N" in the order they happened, N numbering the connections opened.
    std::vector<std::string> Log() {
        std::lock_guard lock(mutex_);
        return log_;
    }
    int RowsHanded(const std::string& table) {
        std::lock_guard lock(mutex_);
        return handed_[table];
    }
    void Handed(const std::string& table) {
        std::lock_guard lock(mutex_);
        ++handed_[table];
    }
    void Note(std::string line) {
        std::lock_guard lock(mutex_);
        log_.push_back(std::move(line));
    }

    std::unique_ptr<db::Connection> CreateConnection() override {
        return std::make_unique<Session>(*this, memory.CreateConnection());
    }
    void TableRead() {
        std::lock_guard lock(mutex_);
        ++read_;
        changed_.notify_all();
    }
    void WaitForTheOthers() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return read_ >= 3; });
    }

  private:
    class Session : public db::Connection {
      public:
        Session(HeldBackDatabase& owner, std::unique_ptr<db::Connection> inner)
            : owner_(owner), inner_(std::move(inner)) {}
        ~Session() override { Close(); }
        void SetConnectTimeout(int seconds) override { inner_->SetConnectTimeout(seconds); }
        void SetReadTimeout(int seconds) override { inner_->SetReadTimeout(seconds); }
        void SetWaitHook(std::function<void()> hook) override { inner_->SetWaitHook(std::move(hook)); }
        void Open(const db::Login& login) override {
            if (++owner_.open_ > owner_.most_open) {
                --owner_.open_;
                throw db::ConnectionsRefused("User has exceeded the 'max_user_connections' resource");
            }
            if (--owner_.opens_left < 0) {
                --owner_.open_;
                throw db::DatabaseError("Can't connect to server on '127.0.0.1' (111)");
            }
            number_ = ++owner_.opened;
            owner_.Note("open " + std::to_string(number_));
            counted_ = true;
            inner_->Open(login);
        }
        void ReadRows(std::string_view sql, const db::RowHandler& on_row) override {
            std::this_thread::sleep_for(kAnswer);
            std::string table;
            if (const auto name = sql.rfind('`', sql.size() - 2); sql.ends_with('`') && name != sql.npos) {
                table = sql.substr(name + 1, sql.size() - name - 2);
                owner_.Note("read " + table + " on " + std::to_string(number_));
            }
            const bool held = sql.ends_with("`" + owner_.held_back + "`");
            if (held) owner_.WaitForTheOthers();
            try {
                inner_->ReadRows(sql, [&](const db::RowView& row) {
                    owner_.Handed(table);
                    return on_row(row);
                });
            } catch (...) {
                if (!held) owner_.TableRead();
                throw;
            }
            if (!held) owner_.TableRead();
        }
        bool IsOpen() const override { return inner_->IsOpen(); }
        bool Lost() const override { return inner_->Lost(); }
        void Close() override {
            if (counted_) --owner_.open_;
            counted_ = false;
            inner_->Close();
        }

      private:
        HeldBackDatabase& owner_;
        std::unique_ptr<db::Connection> inner_;
        bool counted_ = false;
        int number_ = 0;
    };

    std::atomic<int> open_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int read_ = 0;
    std::vector<std::string> log_;
    std::map<std::string, int> handed_;
};

// What a run told: the result list with each address's places, the tables' events and the reports.
struct Told : InMemoryResults {
    PlaceRecorder recorder;
    std::vector<int> refusals;
    void RunStarted() override {
        InMemoryResults::RunStarted();
        recorder.RunStarted();
    }
    void TableStarted(std::string_view database, std::string_view table) override {
        InMemoryResults::TableStarted(database, table);
        recorder.TableStarted(database, table);
    }
    RunControl AddressFound(std::string_view address, const Place& place) override {
        recorder.AddressFound(address, place);
        return InMemoryResults::AddressFound(address, place);
    }
    void AddressSeen(std::uint32_t number, const Place& place) override {
        recorder.AddressSeen(number, place);
    }
    bool FollowsEveryAddress() const override { return true; }
    void ConnectionsRefused(int connections) override { refusals.push_back(connections); }

    std::vector<std::string> Places() const {
        std::vector<std::string> all;
        for (std::size_t i = 0; i < recorder.AddressCount(); ++i) {
            for (const auto& place : recorder.PlacesOf(i)) {
                all.push_back(std::string(recorder.Address(i)) + " " + std::string(place.table) + "." +
                              std::string(place.column) + " " + std::to_string(place.rows));
            }
        }
        return all;
    }
};

// Tables sharing addresses in other letter cases and repeating their own; one unchecked, one missing.
void FillShop(HeldBackDatabase& shop, InMemoryTables& list) {
    for (int t = 1; t <= 12; ++t) {
        const std::string name = "t" + std::to_string(t);
        MemoryTable& table = shop.memory.tables[name];
        table.columns = {"a", "b"};
        for (int r = 1; r <= 30 * t; ++r) {
            table.rows.push_back(
                {"u" + std::to_string(r % 17) + "@T" + std::to_string(t % 3) + ".example",
                 "own" + std::to_string(t) + "@x.example U" + std::to_string(r % 5) + "@t1.EXAMPLE"});
        }
        list.rows.push_back({name, true, {}});
    }
    list.rows.push_back({"missing", true, {}});
    list.rows[6].checked = false;
}

struct RunResult {
    Told told;
    RecordedReports reports;
};

void RunOver(HeldBackDatabase& shop, const InMemoryTables& list, int connections, RunResult& result,
             FarServerJudge::Clock::duration step = kFar) {
    ExtractionRun run(shop, result.reports);
    run.SetConnections(connections);
    run.SetClock(SteppingClock(step));
    ASSERT_TRUE(run.Start(db::Login{}, list, result.told));
}

TEST(SeveralConnectionsTest, TellWhatOneConnectionTellsWhenALaterTableEndsFirst) {
    HeldBackDatabase shop;
    InMemoryTables list;
    FillShop(shop, list);
    RunResult one;
    RunOver(shop, list, 1, one);
    shop.held_back = "t3";  // the first read ahead; ends after later tables
    RunResult four;
    RunOver(shop, list, 4, four);
    EXPECT_EQ(four.told.rows, one.told.rows);
    EXPECT_EQ(four.told.places, one.told.places);
    EXPECT_EQ(four.told.events, one.told.events);
    EXPECT_EQ(four.told.Places(), one.told.Places());
    EXPECT_EQ(four.reports.texts, one.reports.texts);
    EXPECT_EQ(one.reports.Lines(), (std::vector<int>{124}));  // the table missing
    EXPECT_GT(one.told.rows.size(), 30u);
    EXPECT_TRUE(four.told.refusals.empty());
    EXPECT_LE(shop.opened.load(), 1 + 4);
}

TEST(SeveralConnectionsTest, AServerThatRefusesMoreConnectionsLeavesTheRunWithThoseItGave) {
    HeldBackDatabase shop;
    InMemoryTables list;
    FillShop(shop, list);
    RunResult one;
    RunOver(shop, list, 1, one);
    shop.most_open = 2;
    RunResult limited;
    RunOver(shop, list, 8, limited);
    EXPECT_EQ(limited.told.rows, one.told.rows);
    EXPECT_EQ(limited.told.Places(), one.told.Places());
    EXPECT_EQ(limited.reports.texts, one.reports.texts);
    EXPECT_EQ(limited.told.refusals, (std::vector<int>{2}));
}

// A connection lost costs its own table only: it is opened again once, and every later table is read.
TEST(SeveralConnectionsTest, AConnectionLostPartWayFailsItsTableAndIsOpenedAgain) {
    for (const int connections : {1, 4}) {
        SCOPED_TRACE(connections);
        HeldBackDatabase shop;
        InMemoryTables list;
        FillShop(shop, list);
        shop.memory.tables["t5"].breaks_after = 40;
        RunResult result;
        RunOver(shop, list, connections, result);
        EXPECT_EQ(result.reports.Lines(), (std::vector<int>{124, 124}));
        EXPECT_NE(result.reports.texts[0].find("Lost connection"), std::string::npos);
        EXPECT_NE(result.reports.texts[1].find("missing"), std::string::npos);
        EXPECT_EQ(std::count(result.told.events.begin(), result.told.events.end(), "end 40 cut"), 1);
        EXPECT_EQ(result.told.events.end()[-4], "end 360") << "t12 read to its end";
        EXPECT_EQ(shop.opened.load(), connections + 1);
    }
}

// Only when the connection cannot be opened again do the later tables fail, as they did on it.
TEST(SeveralConnectionsTest, ALostConnectionThatCannotBeOpenedAgainFailsTheLaterTables) {
    HeldBackDatabase shop;
    InMemoryTables list;
    FillShop(shop, list);
    shop.memory.tables["t5"].breaks_after = 40;
    shop.opens_left = 1;
    RunResult result;
    RunOver(shop, list, 1, result, kClose);
    EXPECT_EQ(result.reports.Lines(), std::vector<int>(8, 124))
        << "t5 to t12 but the unchecked t7, and missing";
    EXPECT_EQ(shop.opened.load(), 1);
}

// Reading ahead begins after the second table read here, on as many connections as tables are left (up
// to the number asked for); a server close by is read on one connection, with the same result.
TEST(SeveralConnectionsTest, ReadingAheadBeginsAfterTwoFarTablesAndNeverOnACloseServer) {
    HeldBackDatabase far;
    InMemoryTables list;
    FillShop(far, list);
    RunResult ahead;
    RunOver(far, list, 4, ahead);
    const std::vector<std::string> log = far.Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
              (std::vector<std::string>{"open 1", "read t1 on 1", "read t2 on 1"}));
    EXPECT_EQ(far.opened.load(), 4);

    HeldBackDatabase close;
    InMemoryTables same;
    FillShop(close, same);
    RunResult one;
    RunOver(close, same, 4, one, kClose);
    EXPECT_EQ(close.opened.load(), 1);
    EXPECT_EQ(ahead.told.Places(), one.told.Places());
    EXPECT_EQ(ahead.told.events, one.told.events);

    InMemoryTables two;
    two.rows = {{"t1", true, {}}, {"t2", true, {}}, {"t3", true, {}}, {"t4", true, {}}};
    HeldBackDatabase few;
    FillShop(few, same);
    RunResult short_run;
    RunOver(few, two, 8, short_run);
    EXPECT_EQ(few.opened.load(), 2) << "two tables left after the judgement";
}

// A table ticked off while it is read ahead is dropped when the run gets there; every other table is
// read once, and what is told is what one connection tells with the same change.
TEST(SeveralConnectionsTest, ATableTickedOffWhileReadAheadIsDroppedAndNoTableIsReadTwice) {
    struct TicksOff : Told {
        InMemoryTables* list = nullptr;
        void TableStarted(std::string_view database, std::string_view table) override {
            Told::TableStarted(database, table);
            if (table == "t4") list->rows[5].checked = false;  // t6
        }
    };
    std::vector<std::vector<std::string>> told;
    for (const int connections : {1, 4}) {
        HeldBackDatabase shop;
        InMemoryTables list;
        FillShop(shop, list);
        TicksOff observer;
        observer.list = &list;
        RecordedReports reports;
        ExtractionRun run(shop, reports);
        run.SetConnections(connections);
        run.SetClock(SteppingClock(kFar));
        ASSERT_TRUE(run.Start(db::Login{}, list, observer));
        const std::vector<std::string> log = shop.Log();
        for (const std::string table : {"t5", "t8", "t9", "t10", "t11", "t12"}) {
            EXPECT_EQ(std::count_if(
                          log.begin(), log.end(),
                          [&](const std::string& line) { return line.starts_with("read " + table + " on"); }),
                      1)
                << table << " with " << connections;
        }
        told.push_back(observer.Places());
        told.push_back(observer.events);
    }
    EXPECT_EQ(told[2], told[0]);
    EXPECT_EQ(told[3], told[1]);
}

TEST(SeveralConnectionsTest, ARunOfOneTableOpensOneConnection) {
    HeldBackDatabase shop;
    shop.memory.tables["only"] = {{"e"}, {{"a@x.example"}}, {}};
    InMemoryTables list;
    list.rows = {{"only", true, {}}};
    RunResult result;
    RunOver(shop, list, 4, result);
    EXPECT_EQ(result.told.Texts(), (std::vector<std::string>{"a@x.example"}));
    EXPECT_EQ(shop.opened.load(), 1);
}

// Takes a table's news until it ends: its rows and the addresses met in it.
std::pair<std::int64_t, std::size_t> TakeWhole(TableReaders& readers, TableReaders::Ticket ticket) {
    std::size_t addresses = 0;
    for (int i = 0; i < 1000; ++i) {
        const TableNews news = readers.Take(ticket, 20);
        for (const FoundAddresses& part : news.found)
            part.ForEach([&](std::string_view, std::uint32_t, std::int64_t) { ++addresses; });
        if (news.ended || news.gone) return {news.rows, addresses};
    }
    return {-1, addresses};
}

// What waits for the taker stays within its bound; when the taker's table waits for a thread and every
// thread waits for room, one of them gives its table up and reads the taker's. Every table arrives whole.
TEST(TableReadersTest, WhatWaitsForTheTakerIsBoundedAndTheTakersTableIsNeverStarved) {
    HeldBackDatabase shop;
    for (const std::string name : {"a", "b", "c"}) {
        MemoryTable& table = shop.memory.tables[name];
        table.columns = {"e"};
        for (int r = 1; r <= 3000; ++r)
            table.rows.push_back({"r" + std::to_string(r) + "@" + name + ".example"});
    }
    std::unique_ptr<db::Connection> first = shop.CreateConnection();
    first->Open({});
    TableReaders readers(shop, {}, *first, {2, {}, 4096});
    const TableReaders::Ticket a = readers.Queue("", "a");
    const TableReaders::Ticket b = readers.Queue("", "b");
    for (int i = 0; i < 500 && (shop.RowsHanded("a") < 256 || shop.RowsHanded("b") < 256); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(shop.RowsHanded("a"), 256) << "waits for room after its first news";
    EXPECT_EQ(shop.RowsHanded("b"), 256);
    const TableReaders::Ticket c = readers.Queue("", "c", /*urgent=*/true);
    EXPECT_EQ(TakeWhole(readers, c), std::make_pair(std::int64_t{3000}, std::size_t{3000}));
    EXPECT_EQ(TakeWhole(readers, a), std::make_pair(std::int64_t{3000}, std::size_t{3000}));
    EXPECT_EQ(TakeWhole(readers, b), std::make_pair(std::int64_t{3000}, std::size_t{3000}));
    readers.Stop();
}

TEST(TableReadersTest, ATicketDroppedOrNeverGivenIsGone) {
    HeldBackDatabase shop;
    shop.memory.tables["a"] = {{"e"}, {{"a@x.example"}}, {}};
    std::unique_ptr<db::Connection> first = shop.CreateConnection();
    first->Open({});
    TableReaders readers(shop, {}, *first, {1, {}});
    const TableReaders::Ticket a = readers.Queue("", "a");
    readers.Drop(a);
    EXPECT_TRUE(readers.Take(a, 10'000).gone);
    EXPECT_TRUE(readers.Take(a + 7, 10'000).gone);
}

}  // namespace
}  // namespace kestrelmoor::test
