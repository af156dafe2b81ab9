// SPDX-License-Identifier: MIT
#include "core/table_scan.h"

#include <stdexcept>

#include "core/address_scan.h"

namespace kestrelmoor {

void TableScan::Begin(SeenAddresses* seen) {
    seen_ = seen;
    columns_.clear();
    inserter_.reset();
    if (!seen_) return;
    LookaheadInserter::EnteredSink on_entered;
    if (on_seen_) {
        on_entered = [this](std::uint32_t number, const LookaheadInserter::Origin& origin) {
            on_seen_(number, columns_.at(origin.column), origin.row);
        };
    }
    inserter_.emplace(
        *seen_,
        [this](std::string_view address, const LookaheadInserter::Origin& origin) {
            on_found_(address, columns_.at(origin.column), origin.row);
        },
        std::move(on_entered));
    // Made once per table: every value holding "@" is searched with it.
    add_valid_ = [this](std::string_view address) {
        inserter_->Add(address, {row_, column_});
        if (++addresses_in_row_ % kAddressesBetweenBreaths == 0 && breathe_) {
            inserter_->Flush();  // nothing pending while events run
            breathe_();
        }
    };
}

void TableScan::Search(const db::RowView& row, std::int64_t number) {
    if (!seen_) throw std::runtime_error("Object required");
    if (columns_.empty()) columns_ = row.ColumnNames();
    row_ = number;
    addresses_in_row_ = 0;
    SearchRow(row, column_, add_valid_);
}

void TableScan::Enter(std::string_view address, std::size_t column, std::int64_t row) {
    if (!seen_) throw std::runtime_error("Object required");
    if (row != row_) addresses_in_row_ = 0;
    row_ = row;
    column_ = column;
    add_valid_(address);
}

void TableScan::Finish() {
    if (inserter_) inserter_->Flush();
}

}  // namespace kestrelmoor
