// SPDX-License-Identifier: MIT
// The run's side of reading ahead: which tables of the list are handed to the connections ahead of
// the run, and the findings of each as the run reaches it. The list is read ahead only as a hint: the
// run reads every row of the list again when it reaches it, and a table the list no longer names
// there is dropped and the one it names is read first.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "core/table_list.h"
#include "core/table_readers.h"

namespace kestrelmoor {

class TablesAhead {
  public:
    // At most kTablesAheadPerConnection * `connections` tables are queued ahead of the one the run is
    // at (enough for every connection to take a batch of small tables), one on each connection is
    // read at a time, and what is found in them stays under TableReaders::kMostBytesAhead until the
    // run takes it.
    // `last_row` is the last row of the list the run reads, known once the run has read it.
    TablesAhead(const TableList& tables, const std::int64_t& last_row, int connections);
    static constexpr int kTablesAheadPerConnection = static_cast<int>(TableReaders::kMostTablesPerBatch);

    // Reads the tables after `row` over `first` (open) and further connections of the same login: as
    // many as checked tables are left, up to the run's number. False when fewer than two are left, or
    // no thread could start: the run goes on reading on `first` itself.
    // `known` is what the run has read of the catalogue.
    bool Start(db::Database& database, const db::Login& login, db::Connection& first, ReadingTimes times,
               std::int64_t row, const KnownCatalogue& known);
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
    int CheckedAfter(std::int64_t row) const;

    const TableList& tables_;
    const std::int64_t& last_row_;
    const int connections_;
    std::optional<TableReaders> readers_;
    std::deque<Ahead> ahead_;    // queued, in list order
    std::int64_t next_row_ = 1;  // the first row not yet looked at ahead
    TableReaders::Ticket current_ = 0;
};

}  // namespace kestrelmoor
