// SPDX-License-Identifier: MIT
// Tables read ahead on several connections at once, each by a thread of its own, for a run that takes
// them one by one in list order. What a table holds (every address met, in order, its row count and
// failure) is handed to the taker as it grows, so that the earliest table's addresses reach the taker
// while its rows still arrive; what waits for the taker is bounded in bytes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/found_addresses.h"
#include "core/known_catalogue.h"
#include "core/reading_connection.h"
#include "db/address_columns.h"
#include "db/database.h"
#include "db/key_ranges.h"
#include "db/row_estimates.h"

namespace kestrelmoor {

// What the taker has not yet taken of one table.
struct TableNews {
    bool begun = false;  // the estimate is known (told once, with the first news)
    std::optional<std::int64_t> estimate;
    std::vector<std::string> columns;  // given once, with the first addresses
    std::deque<FoundAddresses> found;  // met since the last news, in the parts they were handed on in
    std::int64_t rows = 0;             // read so far
    bool ended = false;
    std::optional<std::string> failure;  // why the table was not read to its end
    bool gone = false;                   // the ticket was dropped or never given: nothing will come
};

class TableReaders {
  public:
    // What the threads hold for the taker (the addresses met and not yet taken) stays under this: a
    // thread that passes it waits, and so does the thread of the taker's table while its own news pass
    // a quarter of it.
    static constexpr std::size_t kMostBytesAhead = std::size_t{64} << 20;
    // Tables of the login's database that the server estimates small are asked for together, in one
    // request of up to so many tables and rows, so that a far server costs a round trip per batch
    // rather than per table.
    static constexpr std::int64_t kSmallTableRows = 1000;
    static constexpr std::int64_t kMostRowsPerBatch = 10000;
    static constexpr std::size_t kMostTablesPerBatch = 64;
    // A table the server estimates at least this big is read in ranges of its key when it can be.
    static constexpr std::int64_t kRowsToSplit = 100000;

    struct Settings {
        int threads = 1;  // the first one's included
        ReadingTimes times;
        std::size_t most_bytes_ahead = kMostBytesAhead;
        std::int64_t rows_to_split = kRowsToSplit;
    };
    // Starts the threads: the first reads on `first` (open with `login`), which stays the caller's, who
    // must not use it until this object is gone; each other one opens a connection of its own. A server
    // that refuses some is told once, when all have tried. Throws only when no thread could start.
    // `known` is what the run has read of the catalogue; the threads do not read that again.
    TableReaders(db::Database& database, const db::Login& login, db::Connection& first, Settings settings,
                 KnownCatalogue known = {});
    // Stops every thread: no further table is begun, a table being read stops at its next row, and a
    // wait for the server (a connect too) is cut short. Returns when every thread has ended.
    void Stop();
    ~TableReaders();
    TableReaders(const TableReaders&) = delete;
    TableReaders& operator=(const TableReaders&) = delete;

    using Ticket = std::uint64_t;
    // A table to read; `urgent` puts it before those queued.
    Ticket Queue(std::string database, std::string table, bool urgent = false);
    struct Table {
        std::string database;
        std::string table;
    };
    // Several at once, in this order after those queued, so that an idle thread finds them together.
    std::vector<Ticket> QueueAll(std::vector<Table> tables);
    // The table is not wanted: not read when not begun, its findings dropped.
    void Drop(Ticket ticket);
    // What is new of the table, after waiting up to `wait_ms` for news; once ended the ticket is done.
    // The ticket taken is the taker's current table, whose thread never waits for room.
    TableNews Take(Ticket ticket, int wait_ms);
    // How many connections a server that refused more allowed, told once.
    std::optional<int> TakeRefusal();

  private:
    struct Job;
    enum class Room { Go, StepAside, Stop };
    void Work(db::Connection* first);
    std::unique_ptr<db::Connection> Open();
    bool Opened(bool open, bool refused);
    Job* Enqueue(std::string database, std::string table);
    std::vector<Job*> NextBatch();
    std::optional<std::int64_t> SmallEstimate(const db::RowEstimates* estimates, const Job& job) const;
    struct Plan {
        std::optional<std::int64_t> estimate;
        db::ReadingPlan reading;
    };
    void Begin(std::span<Job* const> batch, const std::vector<Plan>& plans);
    bool Read(const std::vector<Job*>& batch, db::Connection& connection);
    bool Split(Job& job, const Plan& plan, db::Connection& connection);
    void DropLocked(Ticket ticket);
    TableNews TakeNews(Job& job);
    TableNews AsTableNews(Job& table, TableNews range);
    void Publish(Job& job, FoundAddresses& found, const std::vector<std::string>& columns, std::int64_t rows);
    void AddNews(Job& job, FoundAddresses&& found, const std::vector<std::string>& columns,
                 std::int64_t rows);
    Room WaitForRoom(Job& job);
    bool TakerWaitsForLaterInBatch(const Job& job) const;
    std::deque<Job*>::iterator AfterTakersTable();
    void Requeue(std::span<Job* const> jobs);
    void Ended(Job& job, FoundAddresses found, const std::vector<std::string>& columns, std::int64_t rows,
               std::optional<std::string> failure);
    bool LeaveToOthers();
    bool LeaveIfOthersLive();
    Plan PlanOf(const Job& job, db::Connection& connection);

    db::Database& database_;
    const db::Login login_;
    db::Connection& first_;
    const Settings settings_;
    std::atomic<bool> stopping_{false};  // set by Stop; read by each thread's row and wait without the lock

    // mutex_ guards the members up to threads_; the threads and the taker both touch them, only under it.
    mutable std::mutex mutex_;
    std::condition_variable work_;  // a table queued, or stop
    std::condition_variable news_;  // a table's findings grew or ended
    std::condition_variable room_;  // bytes taken, the taker's table changed, a table queued, or stop
    std::map<Ticket, std::unique_ptr<Job>> jobs_;  // erased by the taker at its end, or by Drop
    std::deque<Job*> queue_;                       // not begun, in the order to begin
    Ticket next_ticket_ = 0;
    std::uint64_t next_batch_ = 0;
    std::optional<Ticket> current_;  // the taker's table, or the range of it the taker is at
    std::size_t bytes_ahead_ = 0;    // the found addresses of every job not yet taken
    int idle_ = 0;                   // threads waiting for a table
    int live_ = 0;                   // threads holding an open connection, or still opening one
    int to_open_ = 0;                // threads that have not yet tried their first connect
    int opened_ = 1;                 // connections opened at the start, the lent one included
    bool refused_ = false;           // the server refused a connection: told once all have tried
    std::optional<int> refusal_;     // to tell
    bool stepping_aside_ = false;    // a thread gives up its table so that the taker's can be begun

    // Touched by the constructor and Stop only, on the taker's thread.
    std::vector<std::thread> threads_;

    // The estimates come from the run or are read once, by the first thread to need them, and so are the
    // address columns and integer keys; guarded by catalogue_mutex_ once the threads run.
    std::optional<db::RowEstimates> estimates_;
    std::optional<db::AddressColumns> address_columns_;
    std::optional<db::IntegerKeys> integer_keys_;
    std::mutex catalogue_mutex_;
    // The estimates once known, for choosing batches without waiting for catalogue_mutex_: set once,
    // after estimates_ is, and never changed.
    std::atomic<const db::RowEstimates*> known_estimates_{nullptr};
};

}  // namespace kestrelmoor
