// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace kestrelmoor {

// The address pattern that every candidate must match as a whole, case-sensitively. After its first
// character the local part may hold "+": a sub-address ("jane+news@") is an address of its own.
inline constexpr std::string_view kAddressPattern =
    "^([a-zA-Z0-9_\\-])([a-zA-Z0-9_\\-\\.\\+]*)@"
    "(\\[((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9][0-9]|[0-9])\\.){3}|((([a-zA-Z0-9\\-]+)\\.)+))"
    "([a-zA-Z]{2,}|(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9][0-9]|[0-9])\\])$";

// True when the whole token is in the language of kAddressPattern. A hand-written matcher: the
// recognizer runs it once per candidate, and a regex engine costs more than the rest of the scan.
bool IsValidAddress(std::string_view token);

}  // namespace kestrelmoor
