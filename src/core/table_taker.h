// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "common/error_trap.h"
#include "core/run_observer.h"
#include "core/seen_addresses.h"
#include "core/tables_ahead.h"

namespace kestrelmoor {

// Takes a table read on another connection into the run as if it had been read here: its addresses
// through the run's seen set to the observer, in the order first met; its estimate, progress and
// failure on the lines that report them when it is read here.
class TableTaker {
  public:
    using PlaceFn = std::function<Place(std::string_view column, std::int64_t row)>;
    // `stop` is the run's: an observer's Stop sets it, and nothing is told after it.
    TableTaker(RunObserver& observer, Trap& trap, bool& stop, PlaceFn place)
        : observer_(observer), trap_(trap), stop_(stop), place_(std::move(place)) {}

    // Within the step that reads the table: waits for it, telling what arrives as it arrives and
    // breathing in between; `rows` follows the rows read. Throws the table's failure.
    void Take(TablesAhead& ahead, SeenAddresses* seen, std::int64_t& rows,
              const std::function<void()>& breathe);
    // After that step: the addresses found before the failure but handed on after it, then the rows
    // holding each address in each column for an observer that follows every address.
    void Finish(SeenAddresses* seen);

    // The wait for news between two breaths.
    static constexpr int kWaitMs = 20;

  private:
    void Enter(SeenAddresses* seen, const FoundAddress& found);
    void TellRefusal(TablesAhead& ahead);

    RunObserver& observer_;
    Trap& trap_;
    bool& stop_;
    PlaceFn place_;
    std::vector<std::string> columns_;
    std::vector<std::uint32_t> numbers_;  // the run's number of each address of the table, in its order
    std::vector<FoundAddress> after_failure_;
    std::vector<PlaceCount> places_;
};

}  // namespace kestrelmoor
