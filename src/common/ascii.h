// SPDX-License-Identifier: MIT
// ASCII letter case: the only case folding the program does. Names and addresses are UTF-8 bytes, and
// folding ASCII alone leaves every byte of a multi-byte character as it is.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace kestrelmoor {

inline constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline std::string AsciiLowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower);
    return lowered;
}

}  // namespace kestrelmoor
