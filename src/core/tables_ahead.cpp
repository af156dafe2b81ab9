// SPDX-License-Identifier: MIT
#include "core/tables_ahead.h"

#include <algorithm>

namespace kestrelmoor {

TablesAhead::TablesAhead(const TableList& tables, const std::int64_t& last_row, int connections)
    : tables_(tables),
      last_row_(last_row),
      most_ahead_(static_cast<std::size_t>(std::max(connections, 1)) * kTablesAheadPerConnection) {}

void TablesAhead::Start(db::Database& database, const db::Login& login, db::Connection& first,
                        TableReaders::Settings settings) {
    readers_.emplace(database, login, first, settings);
}

std::optional<int> TablesAhead::Stop() {
    if (!readers_) return std::nullopt;
    readers_->Stop();
    const std::optional<int> refusal = readers_->TakeRefusal();
    readers_.reset();
    return refusal;
}

void TablesAhead::Answered(Clock::duration answer, Clock::duration whole) {
    const bool waited = answer >= kFarAnswer && 2 * answer >= whole;
    far_answers_ = waited ? far_answers_ + 1 : 0;
}

void TablesAhead::Reach(std::int64_t row, const std::string& database, const std::string& table) {
    while (!ahead_.empty() && ahead_.front().row < row) {  // rows passed: no longer checked
        readers_->Drop(ahead_.front().ticket);
        ahead_.pop_front();
    }
    std::optional<TableReaders::Ticket> ticket;
    if (!ahead_.empty() && ahead_.front().row == row) {
        const Ahead& queued = ahead_.front();
        if (queued.database == database && queued.table == table) {
            ticket = queued.ticket;
        } else {
            readers_->Drop(queued.ticket);
        }
        ahead_.pop_front();
    }
    if (!ticket) ticket = readers_->Queue(database, table, /*urgent=*/true);
    current_ = *ticket;
    next_row_ = std::max(next_row_, row + 1);
    FillAhead();
}

// What the list says of a row ahead may fail, or change before the run gets there: the run finds out
// when it does.
void TablesAhead::FillAhead() {
    while (ahead_.size() < most_ahead_ && next_row_ <= last_row_) {
        const std::int64_t row = next_row_++;
        try {
            if (!tables_.Checked(row)) continue;
            Ahead ahead{row, tables_.Database(row), tables_.Name(row), 0};
            ahead.ticket = readers_->Queue(ahead.database, ahead.table);
            ahead_.push_back(std::move(ahead));
        } catch (...) {
        }
    }
}

}  // namespace kestrelmoor
