#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/extract_new_addresses.h"
#include "core/lookahead_inserter.h"
#include "core/seen_addresses.h"
#include "db/database.h"

namespace kestrelmoor {

// The recognizer over each row of a table while the server is still sending the table, so that the
// search overlaps the wait for the next rows; the run then hands on what each row gave as it steps
// through the table. A row's text joins its values with a space after each, and no token spans a
// space, so the row is searched value by value without joining it.
class RowScan final : public db::RowObserver {
  public:
    RowScan() = default;
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    // Starts a table: its new addresses are entered in `seen` (none: each row fails as the
    // recognizer would without a set).
    void Begin(SeenAddresses* seen);
    void RowArrived(const db::RowView& row) override;
    // The table could not be read to its end: its rows are never listed, so the addresses they
    // entered in the set are taken out again, or a later table could never list them.
    void Abandon();

    // The new addresses of the row that arrived `row`-th since Begin (from 0), in order of first
    // appearance, after `yield` once per candidate token of the row; then rethrows what the recognizer threw
    // on that row, if anything, the addresses it had entered until then being handed on first.
    // Only once every row of the table has arrived.
    void Deliver(std::int64_t row, const AddressSink& on_new, const YieldFn& yield) {
        // Most rows of a big table hold nothing; the run asks for every one of them.
        if (row >= quiet_begin_ && row < quiet_end_) return;
        DeliverNews(row, on_new, yield);
    }

  private:
    void Fail(std::int64_t row, std::exception_ptr failure);
    void DeliverNews(std::int64_t row, const AddressSink& on_new, const YieldFn& yield);
    using Failures = std::vector<std::pair<std::int64_t, std::exception_ptr>>;  // by row, in row order
    // The first row after the one just delivered that has candidate tokens, an address or a failure
    // (`next_failure` is the first failure after it); arrived_ if none.
    std::int64_t NextRowWithNews(Failures::const_iterator next_failure) const;

    SeenAddresses* seen_ = nullptr;
    SeenAddresses::Mark mark_{};
    // The valid candidates go through it, so that the set's cache misses overlap with the scan.
    std::optional<LookaheadInserter> inserter_;
    std::int64_t arrived_ = 0;
    // Only rows that hold a candidate token have an entry, and only new addresses are kept: a table's
    // scan takes memory for what it found, not for its number of rows.
    std::vector<std::pair<std::int64_t, std::size_t>> candidates_;  // (row, its candidate tokens)
    std::string addresses_;                   // every new address of the table, one after the other
    std::vector<std::size_t> address_ends_;   // where each ends in addresses_
    std::vector<std::int64_t> address_rows_;  // the row each came from
    Failures failures_;
    // Where the last delivery left off in candidates_ and in the addresses: the run asks for the rows
    // in order.
    std::size_t next_candidates_ = 0;
    std::size_t next_address_ = 0;
    // Rows known to hold nothing to hand on: no candidate token, no address, no failure. Empty until
    // the first delivery, which finds the first such stretch.
    std::int64_t quiet_begin_ = 0;
    std::int64_t quiet_end_ = 0;
    std::size_t row_candidates_ = 0;  // of the row being searched
    // Made once: a row's every value is searched with them.
    YieldFn count_candidate_ = [this] { ++row_candidates_; };
    AddressSink add_valid_ = [this](std::string_view address) { inserter_->Add(address, arrived_); };
};

}  // namespace kestrelmoor
