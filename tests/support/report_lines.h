// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kestrelmoor::test {

// The line number each error report names ("<location>at line N"), in order; -1 for a report that does
// not name `location` and a line (any location when it is empty).
std::vector<int> ReportLines(const std::vector<std::string>& reports, std::string_view location = {});

}  // namespace kestrelmoor::test
