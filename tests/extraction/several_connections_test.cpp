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
#include "core/place_recorder.h"
#include "core/tables_ahead.h"
#include "db/connections_refused.h"
#include "in_memory_ports.h"
#include "support/memory_database.h"

namespace kestrelmoor::test {
namespace {

// Late enough that the run reads ahead after its first two tables.
constexpr auto kAnswer = TablesAhead::kFarAnswer + std::chrono::milliseconds(2);

// The memory database as a server far away (each statement answered late), with a table held back
// until three others have been read, and room for `most_open` connections at once.
class HeldBackDatabase : public db::Database {
  public:
    MemoryDatabase memory;
    std::string held_back;
    int most_open = 64;
    std::atomic<int> opened{0};

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
            ++owner_.opened;
            counted_ = true;
            inner_->Open(login);
        }
        void ReadRows(std::string_view sql, const db::RowHandler& on_row) override {
            std::this_thread::sleep_for(kAnswer);
            const bool held = sql.ends_with("`" + owner_.held_back + "`");
            if (held) owner_.WaitForTheOthers();
            try {
                inner_->ReadRows(sql, on_row);
            } catch (...) {
                if (!held) owner_.TableRead();
                throw;
            }
            if (!held) owner_.TableRead();
        }
        bool IsOpen() const override { return inner_->IsOpen(); }
        void Close() override {
            if (counted_) --owner_.open_;
            counted_ = false;
            inner_->Close();
        }

      private:
        HeldBackDatabase& owner_;
        std::unique_ptr<db::Connection> inner_;
        bool counted_ = false;
    };

    std::atomic<int> open_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    int read_ = 0;
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
    void AddressSeenInRows(std::uint32_t number, const Place& place, std::int64_t rows) override {
        recorder.AddressSeenInRows(number, place, rows);
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

void RunOver(HeldBackDatabase& shop, const InMemoryTables& list, int connections, RunResult& result) {
    ExtractionRun run(shop, result.reports);
    run.SetConnections(connections);
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

// A lost connection loses its own table only: the tables after it are read on the others.
TEST(SeveralConnectionsTest, AConnectionLostPartWayFailsItsTableAndTheOthersGoOn) {
    HeldBackDatabase shop;
    InMemoryTables list;
    FillShop(shop, list);
    shop.memory.tables["t5"].breaks_after = 40;
    RunResult result;
    RunOver(shop, list, 4, result);
    EXPECT_EQ(result.reports.Lines(), (std::vector<int>{124, 124}));
    EXPECT_NE(result.reports.texts[0].find("Lost connection"), std::string::npos);
    EXPECT_NE(result.reports.texts[1].find("missing"), std::string::npos);
    EXPECT_NE(std::find(result.told.events.begin(), result.told.events.end(), "end 360"),
              result.told.events.end())
        << "t12 read to its end";
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

}  // namespace
}  // namespace kestrelmoor::test
