// SPDX-License-Identifier: MIT
#include "core/place_recorder.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace kestrelmoor {

void PlaceRecorder::RunStarted() {
    texts_.clear();
    address_ends_.clear();
    latest_.clear();
    places_.clear();
    tables_.clear();
    columns_.clear();
    table_columns_.clear();
    table_places_.clear();
    table_started_ = true;
}

void PlaceRecorder::TableStarted(std::string_view /*database*/, std::string_view /*table*/) {
    table_started_ = true;
}

RunControl PlaceRecorder::AddressFound(std::string_view address, const Place& /*place*/) {
    texts_ += address;
    address_ends_.push_back(texts_.size());
    latest_.push_back(0);
    return RunControl::Continue;
}

std::string_view PlaceRecorder::Address(std::size_t number) const {
    const std::size_t begin = number == 0 ? 0 : address_ends_.at(number - 1);
    return std::string_view(texts_).substr(begin, address_ends_.at(number) - begin);
}

std::uint32_t PlaceRecorder::CurrentTable(const Place& place) {
    if (table_started_) {
        tables_.push_back(Table{std::string(place.database), std::string(place.table), columns_.size()});
        table_started_ = false;
        table_columns_.clear();
        table_places_.clear();
    }
    return static_cast<std::uint32_t>(tables_.size() - 1);
}

std::uint32_t PlaceRecorder::ColumnOf(std::string_view column) {
    // Most addresses follow one another in one column: that one is checked before the map.
    if (last_column_ >= tables_.back().first_column && last_column_ < columns_.size() &&
        columns_[last_column_] == column) {
        return last_column_;
    }
    if (const auto known = table_columns_.find(column); known != table_columns_.end()) {
        last_column_ = known->second;
    } else {
        last_column_ = static_cast<std::uint32_t>(columns_.size());
        table_columns_.emplace(column, last_column_);
        columns_.emplace_back(column);
    }
    return last_column_;
}

std::uint32_t& PlaceRecorder::PlaceInTable(std::uint32_t number, std::uint32_t column) {
    return table_places_[(std::uint64_t{number} << 32) | column];
}

std::uint32_t PlaceRecorder::RecordOf(std::uint32_t number, const Place& place) {
    // An address whose AddressFound did not reach this observer has no line to count on.
    if (number >= latest_.size()) return 0;
    const std::uint32_t table = CurrentTable(place);
    const std::uint32_t column = ColumnOf(place.column);
    std::uint32_t& latest = latest_[number];
    // The place met last is the one most often met again (an address repeated down one column).
    const bool again =
        latest != 0 && places_[latest - 1].table == table && places_[latest - 1].column == column;
    std::uint32_t& in_table = again ? latest : PlaceInTable(number, column);
    if (in_table != 0) return in_table;
    if (places_.size() >= std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("too many places");
    places_.push_back(Record{latest, table, column, 0, 0});
    latest = static_cast<std::uint32_t>(places_.size());
    in_table = latest;
    return latest;
}

void PlaceRecorder::AddressSeen(std::uint32_t number, const Place& place) {
    const std::uint32_t at = RecordOf(number, place);
    if (at == 0) return;
    Record& record = places_[at - 1];
    if (record.last_row != place.row) {
        ++record.rows;
        record.last_row = place.row;
    }
}

std::vector<PlaceRecorder::PlaceCount> PlaceRecorder::PlacesOf(std::size_t number) const {
    std::vector<PlaceCount> places;
    if (number >= latest_.size()) return places;
    for (std::uint32_t at = latest_[number]; at != 0; at = places_[at - 1].previous) {
        const Record& record = places_[at - 1];
        const Table& table = tables_[record.table];
        places.push_back(PlaceCount{table.database, table.table, columns_[record.column], record.rows});
    }
    std::reverse(places.begin(), places.end());
    return places;
}

}  // namespace kestrelmoor
