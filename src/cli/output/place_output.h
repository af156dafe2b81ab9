// SPDX-License-Identifier: MIT
// --where and --find: where each address lives, one line per address and place, tab-separated:
//   address (as first found), database, table, column, rows
// `rows` counts the rows of the table whose value in that column holds the address. Addresses come in
// the order found, each one's places in the order met. A count is known only once its table has ended
// and an address may turn up in a later table, so the lines are written when the run has ended.
// The names are escaped: no byte of them can break a line apart or be obeyed by a terminal.
#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "cli/output/output_writer.h"
#include "core/place_recorder.h"

namespace kestrelmoor::cli {

class PlaceOutput : public PlaceRecorder {
  public:
    // `only`: the addresses whose lines are written (compared without letter case); empty: all.
    PlaceOutput(OutputWriter& out, bool header, const std::vector<std::string>& only);

    // Writes the lines and flushes. After a failed write nothing more is written; false then, and
    // Failure() says why.
    bool Finish();
    const std::optional<std::error_code>& Failure() const { return failure_; }
    // Whether any line was written for an address (a header alone is none).
    bool Found() const { return found_; }

  private:
    void WriteAddress(std::size_t number, std::string& line);

    OutputWriter& out_;
    bool header_;
    std::unordered_set<std::string> only_;  // lower-cased
    std::optional<std::error_code> failure_;
    bool found_ = false;
};

}  // namespace kestrelmoor::cli
