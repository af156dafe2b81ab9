// SPDX-License-Identifier: MIT
// Where each address of a run lives: the places (database, table, column) in which the run met it, in
// the order first met, each with the number of rows of its table whose value in that column holds the
// address. What it keeps grows with the distinct addresses and places, never with the rows read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/run_observer.h"

namespace kestrelmoor {

class PlaceRecorder : public RunObserver {
  public:
    struct PlaceCount {
        std::string_view database;
        std::string_view table;
        std::string_view column;
        std::int64_t rows = 0;
    };

    void RunStarted() override;
    void TableStarted(std::string_view database, std::string_view table) override;
    RunControl AddressFound(std::string_view address, const Place& place) override;
    void AddressSeen(std::uint32_t number, const Place& place) override;
    bool FollowsEveryAddress() const override { return true; }

    // The addresses in the order found, each in the form first met.
    std::size_t AddressCount() const { return address_ends_.size(); }
    std::string_view Address(std::size_t number) const;
    // The places of address `number` in the order first met; none for a number not found.
    std::vector<PlaceCount> PlacesOf(std::size_t number) const;

  private:
    // A table read in this run; the same table read twice is two of them.
    struct Table {
        std::string database;
        std::string table;
        std::size_t first_column = 0;  // its columns are columns_[first_column..]
    };
    struct Record {
        std::uint32_t previous = 0;  // the address's place met before this one, plus one; 0: none
        std::uint32_t table = 0;
        std::uint32_t column = 0;
        std::int64_t rows = 0;
        std::int64_t last_row = 0;  // a value holding the address twice counts its row once
    };

    std::uint32_t CurrentTable(const Place& place);
    std::uint32_t ColumnOf(std::string_view column);
    // The record of address `number` in `column` of the current table, plus one; 0: none yet.
    std::uint32_t& PlaceInTable(std::uint32_t number, std::uint32_t column);
    // The record of address `number` at `place`, made when there is none: plus one, 0 when the address
    // was not told to this observer.
    std::uint32_t RecordOf(std::uint32_t number, const Place& place);

    std::string texts_;
    std::vector<std::size_t> address_ends_;
    std::vector<std::uint32_t> latest_;  // per address: its place met last, plus one; 0: none yet
    std::vector<Record> places_;
    std::vector<Table> tables_;
    std::vector<std::string> columns_;
    bool table_started_ = true;  // TableStarted told, no place of that table met yet
    // The current table's columns and places by key, so that an address met in many columns of a
    // table finds its place at once instead of walking its other places there (each one's cost would
    // grow with the table's width). Emptied when the next table's first place is met.
    struct NameHash {
        using is_transparent = void;  // looked up by a view, without making a string of it
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_map<std::string, std::uint32_t, NameHash, std::equal_to<>> table_columns_;
    std::unordered_map<std::uint64_t, std::uint32_t> table_places_;
    std::uint32_t last_column_ = 0;  // the column met last, looked up again only when another is met
};

}  // namespace kestrelmoor
