// SPDX-License-Identifier: MIT
// The recognizer over the rows of one table as they arrive.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/address_scan.h"
#include "core/lookahead_inserter.h"
#include "core/seen_addresses.h"
#include "db/row_view.h"

namespace kestrelmoor {

// A row's text joins its values with a space after each, and no token spans a space, so a row is
// searched value by value without joining it; a value without "@" holds no token. Hands each address
// of the row to `on_address` with `column` set to its column.
inline void SearchRow(const db::RowView& row, std::size_t& column, const AddressSink& on_address) {
    row.ForEachValueHolding('@', [&](std::size_t at, std::string_view value) {
        column = at;
        ForEachValidAddress(value, on_address);
    });
}

// Enters the addresses of one table in the run's seen set: those it searches in the rows itself, or
// those met in the rows on another connection.
class TableScan {
  public:
    // Receives each address not in the seen set before, with its column's name and its row.
    using FoundFn = std::function<void(std::string_view address, std::string_view column, std::int64_t row)>;
    // Receives every address in every value, new or not, by its number in the seen set; only when
    // given, as it costs a call per address met.
    using SeenFn = std::function<void(std::uint32_t number, std::string_view column, std::int64_t row)>;

    // `breathe` runs after every kAddressesBetweenBreaths addresses of one row, with none pending, so
    // that a row holding millions of addresses still lets the window's events in.
    explicit TableScan(FoundFn on_found, SeenFn on_seen = {}, std::function<void()> breathe = {})
        : on_found_(std::move(on_found)), on_seen_(std::move(on_seen)), breathe_(std::move(breathe)) {}
    static constexpr std::int64_t kAddressesBetweenBreaths = 8192;
    TableScan(const TableScan&) = delete;
    TableScan& operator=(const TableScan&) = delete;

    // Starts a table whose new addresses are entered in `seen`; without a set every row fails.
    void Begin(SeenAddresses* seen);
    // Searches row number `number` of the table. The new addresses are handed on a few behind the search
    // (see LookaheadInserter), all of them by the end of Finish. Throws what entering or handing on an
    // address throws.
    void Search(const db::RowView& row, std::int64_t number);
    // An address met in the table elsewhere, as Search would have met it: the table's columns first,
    // then its addresses in the order met.
    void SetColumns(std::vector<std::string> columns) { columns_ = std::move(columns); }
    void Enter(std::string_view address, std::size_t column, std::int64_t row);
    // The table has ended, whole or not: hands on what is still pending.
    void Finish();

  private:
    FoundFn on_found_;
    SeenFn on_seen_;
    std::function<void()> breathe_;
    std::int64_t addresses_in_row_ = 0;
    SeenAddresses* seen_ = nullptr;
    std::optional<LookaheadInserter> inserter_;
    std::vector<std::string> columns_;  // the names of the table's columns, taken from its first row
    std::int64_t row_ = 0;              // the row being searched
    AddressSink add_valid_;
    std::size_t column_ = 0;  // the column being searched
};

}  // namespace kestrelmoor
