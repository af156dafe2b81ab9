// SPDX-License-Identifier: MIT
// Where a run's addresses go when --output names a file, as both modes say it: the file is opened
// before the run and put in place only after a run without failures.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "cli/output/console.h"
#include "common/output_file.h"

namespace kestrelmoor::cli {

// "cannot write the addresses to FILE: reason", or without " to FILE" for standard output.
std::string WriteFailure(const std::optional<std::string>& file, const std::error_code& error);

// The output file that `name` asks for, if any; false (and said) when it cannot be written.
bool OpenOutputFile(const std::optional<std::string>& name, Console& console,
                    std::unique_ptr<OutputFile>& file);

// Ends a run whose output went to `file` (none: standard output): a file is put in place only when the
// run did not fail, and is otherwise left as it was (and that is said). The exit status: 0, or 1.
int FinishOutput(OutputFile* file, const std::optional<std::string>& name, bool failed, Console& console);

}  // namespace kestrelmoor::cli
