// SPDX-License-Identifier: MIT
// The run's side of reading ahead: which tables of the list are handed to the connections ahead of
// the run, and the findings of each as the run reaches it. The list is read ahead only as a hint: the
// run reads every row of the list again when it reaches it, and a table the list no longer names
// there is dropped and the one it names is read first.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "core/table_list.h"
#include "core/table_readers.h"

namespace kestrelmoor {

class TablesAhead {
  public:
    // A server far away (or slow to answer) makes each table cost at least its wait for the first
    // answer, which connections side by side overlap; a server close by answers within a millisecond
    // or so, and a big table's rows take far longer than its first answer: there reading ahead only
    // adds the threads' work to one connection's. So the run reads ahead once two tables in a row read
    // here waited at least kFarAnswer for their first answer, and that wait was at least half of the
    // table's whole read.
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kFarAnswer{5};
    static constexpr int kAnswersToJudge = 2;
    // A table read here: its wait for the first answer, and its whole read.
    void Answered(Clock::duration answer, Clock::duration whole);
    bool FarAway() const { return far_answers_ >= kAnswersToJudge; }

    // At most `2 * connections` tables are read ahead of the one the run is at, so that what is kept
    // of tables found but not yet taken stays bounded.
    // `last_row` is the last row of the list the run reads, known once the run has read it.
    TablesAhead(const TableList& tables, const std::int64_t& last_row, int connections);
    static constexpr int kTablesAheadPerConnection = 2;

    // Reads the tables over `first` (open) and further connections of the same login.
    void Start(db::Database& database, const db::Login& login, db::Connection& first,
               TableReaders::Settings settings);
    bool Started() const { return readers_.has_value(); }
    // Stops the reading: every connection but `first` closed, `first` the caller's again. Returns a
    // refusal of the server not yet told (a connection it refused as the last tables were taken).
    std::optional<int> Stop();

    // The table at `row` of the list, which names it `database`.`table`: its findings from now on.
    void Reach(std::int64_t row, const std::string& database, const std::string& table);
    TableNews Take(int wait_ms) { return readers_->Take(current_, wait_ms); }
    std::optional<int> TakeRefusal() { return readers_->TakeRefusal(); }

  private:
    struct Ahead {
        std::int64_t row = 0;
        std::string database;
        std::string table;
        TableReaders::Ticket ticket = 0;
    };
    void FillAhead();

    const TableList& tables_;
    const std::int64_t& last_row_;
    const std::size_t most_ahead_;
    std::optional<TableReaders> readers_;
    std::deque<Ahead> ahead_;    // queued, in list order
    std::int64_t next_row_ = 1;  // the first row not yet looked at ahead
    TableReaders::Ticket current_ = 0;
    int far_answers_ = 0;  // tables in a row, up to the last one read here, that waited
};

}  // namespace kestrelmoor
