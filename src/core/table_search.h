// SPDX-License-Identifier: MIT
// What one table holds, found on a connection of its own: the table's distinct addresses in the order
// first met, and, when asked, how many rows hold each address in each column. The run enters them in
// its own seen set later, table after table in list order, so that the result is that of one
// connection reading the tables one after another.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/address_scan.h"
#include "core/lookahead_inserter.h"
#include "core/seen_addresses.h"
#include "db/row_view.h"

namespace kestrelmoor {

// An address new to its table, in the letter case first met there, with its first place.
struct FoundAddress {
    std::string text;
    std::uint32_t column = 0;  // into the table's columns
    std::int64_t row = 0;
};

// The rows of a table whose value in a column holds an address (a value holding it twice counts its
// row once); `address` numbers the table's FoundAddress list, `first_row` is the first such row.
struct PlaceCount {
    std::uint32_t address = 0;
    std::uint32_t column = 0;
    std::int64_t first_row = 0;
    std::int64_t rows = 0;
};

// Searches the rows of one table. Keeps nothing per row: its memory grows with the table's distinct
// addresses and their places only.
class TableSearch {
  public:
    explicit TableSearch(bool count_places);
    TableSearch(const TableSearch&) = delete;
    TableSearch& operator=(const TableSearch&) = delete;

    void Search(const db::RowView& row, std::int64_t number);
    // The addresses found since the last call, all of them once the table has ended (after Finish).
    std::vector<FoundAddress> TakeFound();
    void Finish() { inserter_.Flush(); }

    const std::vector<std::string>& Columns() const { return columns_; }
    // In the order first met; empty unless counted.
    std::vector<PlaceCount> TakePlaces() { return std::move(places_); }

  private:
    void Count(std::uint32_t address, const LookaheadInserter::Origin& origin);

    SeenAddresses seen_;  // this table's only
    LookaheadInserter inserter_;
    std::vector<std::string> columns_;
    std::vector<FoundAddress> found_;
    std::vector<PlaceCount> places_;
    std::vector<std::int64_t> last_rows_;                        // per place: the row counted last
    std::unordered_map<std::uint64_t, std::uint32_t> place_of_;  // address and column to places_ index
    std::int64_t row_ = 0;
    std::size_t column_ = 0;
    AddressSink add_;
};

}  // namespace kestrelmoor
