// SPDX-License-Identifier: MIT
#include "core/tables_ahead.h"

#include <algorithm>
#include <vector>

namespace kestrelmoor {

TablesAhead::TablesAhead(const TableList& tables, const std::int64_t& last_row, int connections)
    : tables_(tables), last_row_(last_row), connections_(std::max(connections, 1)) {}

bool TablesAhead::Start(db::Database& database, const db::Login& login, db::Connection& first,
                        ReadingTimes times, std::int64_t row, const KnownCatalogue& known) {
    const int left = CheckedAfter(row);
    if (left < 2) return false;
    times.far_away = true;  // reading ahead starts on a server far away only
    try {
        readers_.emplace(database, login, first, TableReaders::Settings{std::min(left, connections_), times},
                         known);
    } catch (const std::exception&) {
        return false;
    }
    next_row_ = row + 1;
    return true;
}

// Counts no further than the connections need (two at least, as fewer are not read ahead); a row the
// list cannot tell of counts, as it may be.
int TablesAhead::CheckedAfter(std::int64_t row) const {
    int checked = 0;
    for (std::int64_t next = row + 1; next <= last_row_ && checked < std::max(connections_, 2); ++next) {
        try {
            if (!tables_.Checked(next)) continue;
        } catch (...) {
        }
        ++checked;
    }
    return checked;
}

std::optional<int> TablesAhead::Stop() {
    if (!readers_) return std::nullopt;
    readers_->Stop();
    const std::optional<int> refusal = readers_->TakeRefusal();
    readers_.reset();
    return refusal;
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
// when it does. The queue is filled again once half of it is taken, all at once, so that a connection
// free to read finds a batch's worth rather than one table.
void TablesAhead::FillAhead() {
    const auto most_ahead = static_cast<std::size_t>(connections_) * kTablesAheadPerConnection;
    if (ahead_.size() > most_ahead / 2) return;
    std::vector<TableReaders::Table> tables;
    const std::size_t first = ahead_.size();
    while (ahead_.size() < most_ahead && next_row_ <= last_row_) {
        const std::int64_t row = next_row_++;
        Ahead ahead{row, {}, {}, 0};
        try {
            if (!tables_.Checked(row)) continue;
            ahead.database = tables_.Database(row);
            ahead.table = tables_.Name(row);
        } catch (...) {
            continue;
        }
        tables.push_back({ahead.database, ahead.table});
        ahead_.push_back(std::move(ahead));
    }
    const std::vector<TableReaders::Ticket> tickets = readers_->QueueAll(std::move(tables));
    for (std::size_t i = 0; i < tickets.size(); ++i) ahead_[first + i].ticket = tickets[i];
}

}  // namespace kestrelmoor
