#include "core/row_scan.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace kestrelmoor {
namespace {

// The first entry of `by_row` (sorted by row) not before `row`; `hint` is where the last search ended,
// which is mostly the answer.
template <class Entry, class RowOf>
std::size_t Seek(const std::vector<Entry>& by_row, std::size_t hint, std::int64_t row, RowOf row_of) {
    const bool at_hint = (hint == by_row.size() || row_of(by_row[hint]) >= row) &&
                         (hint == 0 || row_of(by_row[hint - 1]) < row);
    if (at_hint) return hint;
    return static_cast<std::size_t>(
        std::lower_bound(by_row.begin(), by_row.end(), row,
                         [&](const Entry& entry, std::int64_t r) { return row_of(entry) < r; }) -
        by_row.begin());
}

}  // namespace

void RowScan::Begin(SeenAddresses* seen) {
    seen_ = seen;
    inserter_.reset();
    if (seen_) {
        mark_ = seen_->Now();
        inserter_.emplace(
            *seen_,
            [this](std::string_view address, std::int64_t row) {
                addresses_ += address;
                address_ends_.push_back(addresses_.size());
                address_rows_.push_back(row);
            },
            [this](std::int64_t row, std::exception_ptr failure) { Fail(row, std::move(failure)); });
    }
    arrived_ = 0;
    candidates_.clear();
    addresses_.clear();
    address_ends_.clear();
    address_rows_.clear();
    failures_.clear();
    next_candidates_ = 0;
    next_address_ = 0;
    quiet_begin_ = 0;
    quiet_end_ = 0;
}

void RowScan::Fail(std::int64_t row, std::exception_ptr failure) {
    const auto at = std::upper_bound(failures_.begin(), failures_.end(), row,
                                     [](std::int64_t r, const auto& entry) { return r < entry.first; });
    // A row keeps its first failure: the search of the row ended there.
    if (at != failures_.begin() && std::prev(at)->first == row) return;
    failures_.emplace(at, row, std::move(failure));
}

void RowScan::RowArrived(const db::RowView& row) {
    row_candidates_ = 0;
    try {
        if (!seen_) throw std::runtime_error("Object required");
        // A value without "@" holds no candidate token.
        row.ForEachValueHolding(
            '@', [&](std::string_view value) { ForEachValidAddress(value, add_valid_, count_candidate_); });
    } catch (...) {
        Fail(arrived_, std::current_exception());
    }
    if (row_candidates_ > 0) candidates_.emplace_back(arrived_, row_candidates_);
    ++arrived_;
}

void RowScan::Abandon() {
    if (inserter_) inserter_->Drop();
    if (seen_) seen_->ForgetSince(mark_);
    Begin(seen_);
}

std::int64_t RowScan::NextRowWithNews(Failures::const_iterator next_failure) const {
    // The delivery of a row left both hints at the first entry after it.
    std::int64_t next = arrived_;
    if (next_candidates_ < candidates_.size()) next = std::min(next, candidates_[next_candidates_].first);
    if (next_address_ < address_rows_.size()) next = std::min(next, address_rows_[next_address_]);
    if (next_failure != failures_.end()) next = std::min(next, next_failure->first);
    return next;
}

void RowScan::DeliverNews(std::int64_t row, const AddressSink& on_new, const YieldFn& yield) {
    if (row < 0 || row >= arrived_) throw std::logic_error("the row was not searched as it arrived");
    // The table has arrived whole: what is still pending belongs to its last rows.
    if (inserter_ && inserter_->HasPending()) inserter_->Flush();

    next_candidates_ =
        Seek(candidates_, next_candidates_, row, [](const auto& entry) { return entry.first; });
    if (next_candidates_ < candidates_.size() && candidates_[next_candidates_].first == row) {
        if (yield) {
            for (std::size_t i = 0; i < candidates_[next_candidates_].second; ++i) yield();
        }
        ++next_candidates_;
    }
    next_address_ = Seek(address_rows_, next_address_, row, [](std::int64_t r) { return r; });
    for (; next_address_ < address_rows_.size() && address_rows_[next_address_] == row; ++next_address_) {
        const std::size_t begin = next_address_ == 0 ? 0 : address_ends_[next_address_ - 1];
        on_new(std::string_view(addresses_).substr(begin, address_ends_[next_address_] - begin));
    }
    const auto failure = std::lower_bound(failures_.begin(), failures_.end(), row,
                                          [](const auto& entry, std::int64_t r) { return entry.first < r; });
    const bool failed = failure != failures_.end() && failure->first == row;
    quiet_begin_ = row + 1;
    quiet_end_ = NextRowWithNews(failed ? std::next(failure) : failure);
    if (failed) std::rethrow_exception(failure->second);
}

}  // namespace kestrelmoor
