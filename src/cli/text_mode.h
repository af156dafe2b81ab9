// SPDX-License-Identifier: MIT
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/output/output_writer.h"

namespace kestrelmoor::cli {

// One extraction over every line of the named files in turn ("-" or no name at all: standard input),
// each line one row. Prints each new address on its own line, or with `comma` each followed by ","
// and one CR LF at the end. Returns the exit status: 0 when every file was read and all output
// written, 1 otherwise (the failures go to `errors`).
int RunTextMode(const std::vector<std::string>& files, OutputWriter& out, bool comma, std::ostream& errors);

}  // namespace kestrelmoor::cli
