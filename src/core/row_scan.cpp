#include "core/row_scan.h"

#include <algorithm>
#include <stdexcept>

#include "db/row_store.h"

namespace kestrelmoor {

void RowScan::Begin(SeenAddresses* seen) {
    seen_ = seen;
    if (seen_) mark_ = seen_->Now();
    rows_.clear();
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
        failures_.emplace_back(static_cast<std::int64_t>(rows_.size()), std::current_exception());
    }
    rows_.push_back(Row{first_address, candidates_});
}

void RowScan::Abandon() {
    if (seen_) seen_->ForgetSince(mark_);
    Begin(seen_);
}

void RowScan::Deliver(std::int64_t row, const AddressSink& on_new, const YieldFn& yield) const {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) {
        throw std::logic_error("the row was not searched as it arrived");
    }
    const auto index = static_cast<std::size_t>(row);
    if (yield) {
        for (std::size_t i = 0; i < rows_[index].candidates; ++i) yield();
    }
    const std::size_t end = index + 1 < rows_.size() ? rows_[index + 1].first_address : address_ends_.size();
    for (std::size_t a = rows_[index].first_address; a < end; ++a) {
        const std::size_t begin = a == 0 ? 0 : address_ends_[a - 1];
        on_new(std::string_view(addresses_).substr(begin, address_ends_[a] - begin));
    }
    const auto failure = std::lower_bound(failures_.begin(), failures_.end(), row,
                                          [](const auto& entry, std::int64_t r) { return entry.first < r; });
    if (failure != failures_.end() && failure->first == row) std::rethrow_exception(failure->second);
}

}  // namespace kestrelmoor
