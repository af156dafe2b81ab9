// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string_view>

namespace kestrelmoor::cli {

// Reads `fd` to its end and hands on its text in blocks of whole lines: each block but the last ends
// with a line feed, and no line is split between two blocks. Memory grows with the longest line,
// never with the input. Throws std::system_error when reading fails.
void ForEachBlockOfLines(int fd, const std::function<void(std::string_view)>& on_block);

}  // namespace kestrelmoor::cli
