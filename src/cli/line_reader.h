// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string_view>

namespace kestrelmoor::cli {

// Reads `fd` to its end and hands each line that holds `needle` to `on_line`, without its line feed;
// a last line without one counts too. Lines without the needle are passed over in the same search
// that looks for it, so most of the input is only looked at once. Memory grows with the longest
// line, never with the input. Throws std::system_error when reading fails.
void ForEachLineHolding(int fd, char needle, const std::function<void(std::string_view)>& on_line);

}  // namespace kestrelmoor::cli
