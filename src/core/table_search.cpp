// SPDX-License-Identifier: MIT
#include "core/table_search.h"

#include "core/address_scan.h"

namespace kestrelmoor {

TableSearch::TableSearch(bool count_places)
    : inserter_(
          seen_,
          [this](std::string_view address, const LookaheadInserter::Origin& origin) {
              found_.push_back(
                  FoundAddress{std::string(address), static_cast<std::uint32_t>(origin.column), origin.row});
          },
          count_places ? LookaheadInserter::EnteredSink(
                             [this](std::uint32_t number, const LookaheadInserter::Origin& origin) {
                                 Count(number, origin);
                             })
                       : LookaheadInserter::EnteredSink()),
      // Made once: every value holding "@" is searched with it.
      add_([this](std::string_view address) {
          inserter_.Add(address, {row_, column_});
      }) {}

void TableSearch::Search(const db::RowView& row, std::int64_t number) {
    if (columns_.empty()) {
        for (std::size_t i = 0; i < row.FieldCount(); ++i) columns_.push_back(row.ColumnName(i));
    }
    row_ = number;
    row.ForEachValueHolding('@', [&](std::size_t column, std::string_view value) {
        column_ = column;
        ForEachValidAddress(value, add_);
    });
}

std::vector<FoundAddress> TableSearch::TakeFound() {
    std::vector<FoundAddress> found;
    found.swap(found_);
    return found;
}

void TableSearch::Count(std::uint32_t address, const LookaheadInserter::Origin& origin) {
    const auto column = static_cast<std::uint32_t>(origin.column);
    const auto [at, added] = place_of_.try_emplace((std::uint64_t{address} << 32) | column,
                                                   static_cast<std::uint32_t>(places_.size()));
    if (added) {
        places_.push_back(PlaceCount{address, column, origin.row, 1});
        last_rows_.push_back(origin.row);
        return;
    }
    // The rows of one place arrive in order: a row already counted is the last one counted.
    if (last_rows_[at->second] != origin.row) {
        last_rows_[at->second] = origin.row;
        ++places_[at->second].rows;
    }
}

}  // namespace kestrelmoor
