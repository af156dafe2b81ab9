#pragma once

#include <string_view>
#include <vector>

namespace kestrelmoor {

// Cuts an already blanked text at tab, carriage return and space, and keeps, in text order, the
// tokens that hold both "@" and ".". The views point into `text`.
std::vector<std::string_view> SplitCandidates(std::string_view text);

}  // namespace kestrelmoor
