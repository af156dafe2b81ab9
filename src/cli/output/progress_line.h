// SPDX-License-Identifier: MIT
// The progress of the current table as one status line: its name (with its database when the run
// names one), the rows arrived so far and the rate, e.g. "shop.orders: 120000 rows, 480000 rows/s",
// and "orders: 120000 of ~998000 rows, …" where the server estimates the table's rows, and
// "orders: 1000000 of 1000000 rows, …" once the table has been read to its end. Drawn only on a
// terminal, at most a few times a second, and kept (ended with a line feed) when the table is done. A
// server that has sent nothing for a few seconds is said to be waited for:
// "shop.orders: reading, waiting for the server (12 s)".
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/output/console.h"
#include "core/run_observer.h"

namespace kestrelmoor::cli {

class ProgressLine : public RunObserver {
  public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLine(Console& console) : console_(console) {}

    void TableStarted(std::string_view database, std::string_view table) override;
    void TableEstimated(std::int64_t rows) override { estimate_ = rows; }
    RunControl RowsArrived(std::int64_t rows) override;
    // The table's line is drawn once more and kept, unless the table could not be read at all (its
    // failure was reported instead).
    void TableEnded(std::int64_t rows, bool complete) override;

  private:
    std::string Text(Clock::time_point now) const;

    Console& console_;
    bool in_table_ = false;
    std::string name_;
    std::int64_t rows_ = 0;
    std::optional<std::int64_t> total_;     // known once the table has ended
    std::optional<std::int64_t> estimate_;  // the server's, shown as "~N" until then
    Clock::time_point began_{};
    Clock::time_point drawn_{};
    Clock::time_point moved_{};  // when the row count last changed
};

}  // namespace kestrelmoor::cli
