#pragma once

#include <functional>
#include <string_view>

namespace kestrelmoor::cli {

// Reads `fd` to its end and hands each line to `on_line` without its line feed; a last line without
// one counts too. Memory grows with the longest line, never with the input. Throws std::system_error
// when reading fails.
void ForEachLine(int fd, const std::function<void(std::string_view)>& on_line);

}  // namespace kestrelmoor::cli
