#pragma once

#include <string_view>

namespace kestrelmoor::cli {

inline constexpr std::string_view kUsage =
    R"(Usage: kestrelmoor-extract --text [FILE...]

Finds every distinct e-mail address in the input and prints each one on its own
line, in the order in which it first appears. Addresses that differ only in
letter case count as one; the form met first is printed.

Modes:
  --text [FILE...]   read the named files in turn, or standard input when no
                     file is named (or the name is "-"); every line is one row
  --help             show this text and exit

Exit status: 0 on success, 1 when an input could not be read or the output
could not be written, 2 on a usage error.
)";

}  // namespace kestrelmoor::cli
