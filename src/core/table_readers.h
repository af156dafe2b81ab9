// SPDX-License-Identifier: MIT
// Tables read ahead on several connections at once, each by a thread of its own, for a run that takes
// them one by one in list order. A table's findings (its distinct addresses, place counts, row count,
// failure) are handed to the taker as they grow, so the earliest table's addresses reach the taker
// while its rows still arrive; nothing is kept per row.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/table_search.h"
#include "db/database.h"
#include "db/row_estimates.h"

namespace kestrelmoor {

// What the taker has not yet taken of one table's findings.
struct TableNews {
    bool begun = false;  // the estimate is known (told once, with the first news)
    std::optional<std::int64_t> estimate;
    std::vector<std::string> columns;  // given once, with the first addresses
    std::vector<FoundAddress> found;   // new to the table, in the order first met
    std::int64_t rows = 0;             // read so far
    bool ended = false;
    std::optional<std::string> failure;             // why the table was not read to its end
    std::vector<FoundAddress> found_after_failure;  // found before the failure, handed on after it
    std::vector<PlaceCount> places;                 // at the end, when counted
};

class TableReaders {
  public:
    struct Settings {
        int connections = 1;        // at most, the first one's included
        bool count_places = false;  // PlaceCount for every address and column
        int read_timeout = 0;
        int connect_timeout = 0;
    };
    // `first` is open with `login` and is read on by the first thread; it stays the caller's, who
    // must not use it until this object is gone. Further connections open as tables wait for them.
    TableReaders(db::Database& database, const db::Login& login, db::Connection& first, Settings settings);
    // Stops every thread: no further table is begun, a table being read stops at its next row (or
    // its wait for the server is cut short). Returns when every thread has ended.
    void Stop();
    ~TableReaders();
    TableReaders(const TableReaders&) = delete;
    TableReaders& operator=(const TableReaders&) = delete;

    using Ticket = std::uint64_t;
    // A table to read; `urgent` puts it before those queued.
    Ticket Queue(std::string database, std::string table, bool urgent = false);
    // The table is not wanted: not read when not begun, its findings dropped.
    void Drop(Ticket ticket);
    // What is new of the table, after waiting up to `wait_ms` for news; once ended the ticket is done.
    TableNews Take(Ticket ticket, int wait_ms);
    // How many connections a server that refused more allowed, told once.
    std::optional<int> TakeRefusal();

  private:
    struct Job;
    void StartThreadIfNeeded();
    void Work(db::Connection* first);
    std::unique_ptr<db::Connection> OpenConnection();
    void Opened(bool open, bool refused);
    bool Read(Job& job, db::Connection& connection);
    void Publish(Job& job, TableSearch& search, std::int64_t rows);
    void Ended(Job& job, TableSearch& search, std::int64_t rows, std::optional<std::string> failure,
               std::vector<FoundAddress> after_failure);
    void GiveColumns(Job& job, const TableSearch& search);
    std::optional<std::int64_t> EstimateOf(const Job& job, db::Connection& connection);

    db::Database& database_;
    const db::Login login_;
    db::Connection& first_;
    const Settings settings_;

    mutable std::mutex mutex_;      // guards everything below but the threads' own state
    std::condition_variable work_;  // a table queued, or stop
    std::condition_variable news_;  // a table's findings grew
    std::map<Ticket, std::unique_ptr<Job>> jobs_;
    std::deque<Job*> queue_;  // not begun, in the order to begin
    Ticket next_ticket_ = 0;
    int waiting_ = 0;             // threads waiting for a table
    int opening_ = 0;             // threads opening their connection
    int live_ = 0;                // threads holding an open connection
    int allowed_;                 // threads that may run: fewer once a connection failed
    bool refused_ = false;        // the server refused a connection: told once all have opened
    std::optional<int> refusal_;  // to tell
    bool told_refusal_ = false;
    std::atomic<bool> stopping_{false};          // read by each row without the lock
    std::optional<db::RowEstimates> estimates_;  // read once, by the first to need them
    std::mutex estimates_mutex_;
    std::vector<std::thread> threads_;
};

}  // namespace kestrelmoor
