#include "core/row_scan.h"

#include <algorithm>
#include <stdexcept>

#include "db/row_store.h"

namespace kestrelmoor {

void RowScan::Begin(SeenAddresses* seen) {
    seen_ = seen;
    if (seen_) mark_ = seen_->Now();
    arrived_ = 0;
    rows_.clear();
    next_ = 0;
    addresses_.clear();
    address_ends_.clear();
    failures_.clear();
}

void RowScan::RowArrived(const db::RowStore& rows, std::int64_t row) {
    candidates_ = 0;
    const std::size_t first_address = address_ends_.size();
    try {
        if (!seen_) throw std::runtime_error("Object required");
        // A value without "@" holds no candidate token.
        rows.ForEachValueHolding(row, '@', [&](std::string_view value) {
            ForEachNewAddress(value, *seen_, keep_address_, count_candidate_);
        });
    } catch (...) {
        failures_.emplace_back(arrived_, std::current_exception());
    }
    if (candidates_ > 0) rows_.push_back(Row{arrived_, first_address, candidates_});
    ++arrived_;
}

void RowScan::Abandon() {
    if (seen_) seen_->ForgetSince(mark_);
    Begin(seen_);
}

void RowScan::Deliver(std::int64_t row, const AddressSink& on_new, const YieldFn& yield) {
    if (row < 0 || row >= arrived_) throw std::logic_error("the row was not searched as it arrived");
    // The run asks for the rows in order, so the row is mostly where the last one left off.
    const bool at_row =
        (next_ == rows_.size() || rows_[next_].row >= row) && (next_ == 0 || rows_[next_ - 1].row < row);
    if (!at_row) {
        next_ = static_cast<std::size_t>(
            std::lower_bound(rows_.begin(), rows_.end(), row,
                             [](const Row& r, std::int64_t n) { return r.row < n; }) -
            rows_.begin());
    }
    if (next_ < rows_.size() && rows_[next_].row == row) {
        const Row& found = rows_[next_];
        if (yield) {
            for (std::size_t i = 0; i < found.candidates; ++i) yield();
        }
        const std::size_t end =
            next_ + 1 < rows_.size() ? rows_[next_ + 1].first_address : address_ends_.size();
        for (std::size_t a = found.first_address; a < end; ++a) {
            const std::size_t begin = a == 0 ? 0 : address_ends_[a - 1];
            on_new(std::string_view(addresses_).substr(begin, address_ends_[a] - begin));
        }
        ++next_;
    }
    const auto failure = std::lower_bound(failures_.begin(), failures_.end(), row,
                                          [](const auto& entry, std::int64_t r) { return entry.first < r; });
    if (failure != failures_.end() && failure->first == row) std::rethrow_exception(failure->second);
}

}  // namespace kestrelmoor
