// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string_view>

namespace kestrelmoor::cli {

// Reads `fd` to its end and hands on its bytes in order, in blocks that each end just after a byte for
// which `cuts_after` holds (the last block excepted): so nothing that such bytes delimit, a line or a
// token, is ever split between two blocks. Memory grows with the longest run of bytes without such a
// byte, never with the input. Throws std::system_error when reading fails.
void ForEachBlock(int fd, bool (*cuts_after)(char), const std::function<void(std::string_view)>& on_block);

}  // namespace kestrelmoor::cli
