// The progress of the current table as one status line: its name, the rows done of its total and the
// rate, e.g. "shop.orders: 120000 of 1000000 rows, 480000 rows/s". Drawn only on a terminal, at most
// a few times a second, and kept (ended with a line feed) when the table is done.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "cli/console.h"
#include "core/extraction_ports.h"

namespace kestrelmoor::cli {

class ProgressLine : public Progress {
  public:
    using Clock = std::chrono::steady_clock;

    explicit ProgressLine(Console& console) : console_(console) {}

    // The run has reached the table `name` (it is being read from the server).
    void BeginTable(const std::string& name);
    // The run's share of the current table, once per row: (rows done) / (rows in all) x 100.
    void SetValue(double percent) override;
    // The current table is done: its line is drawn once more and kept, unless the table could not be
    // read at all (its failure was reported instead).
    void EndTable();

  private:
    std::string Text(Clock::time_point now) const;

    Console& console_;
    bool in_table_ = false;
    std::string name_;
    int messages_at_begin_ = 0;
    std::int64_t done_ = 0;
    std::int64_t total_ = 0;
    Clock::time_point began_{};
    Clock::time_point drawn_{};
};

}  // namespace kestrelmoor::cli
