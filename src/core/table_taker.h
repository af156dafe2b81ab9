// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>

#include "common/error_trap.h"
#include "core/run_observer.h"
#include "core/table_scan.h"
#include "core/tables_ahead.h"

namespace kestrelmoor {

// Takes a table read on another connection into the run as if it had been read here: every address
// met in it through the run's own scan, in the order met; its estimate, progress and failure on the
// lines that report them when it is read here.
class TableTaker {
  public:
    // `stop` is the run's: an observer's Stop sets it, and nothing is told after it.
    TableTaker(RunObserver& observer, Trap& trap, const bool& stop)
        : observer_(observer), trap_(trap), stop_(stop) {}

    // Within the step that reads the table, after `scan` began it: waits for it, telling what arrives
    // as it arrives and breathing in between; `rows` follows the rows read. Throws the table's failure.
    // The scan's Finish, after the step, hands on what is still pending, as for a table read here.
    void Take(TablesAhead& ahead, TableScan& scan, std::int64_t& rows, const std::function<void()>& breathe);

    // The wait for news between two breaths.
    static constexpr int kWaitMs = 20;

  private:
    void Enter(TableScan& scan, const FoundAddresses& found);
    void TellRefusal(TablesAhead& ahead);

    RunObserver& observer_;
    Trap& trap_;
    const bool& stop_;
};

}  // namespace kestrelmoor
