#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/seen_addresses.h"

namespace kestrelmoor {

// Called once per candidate token so that a long scan can let the window system breathe.
using YieldFn = std::function<void()>;

// Finds the addresses in `text` that `seen` does not hold yet, in order of first appearance and in
// the letter case met first, and adds their lower-cased forms to `seen`. Yields once per candidate
// token before examining it. Equivalent to blanking the punctuation, splitting into candidates and
// testing each, but searches for "@" instead of splitting the whole text.
std::vector<std::string> ExtractNewAddresses(std::string_view text, SeenAddresses& seen,
                                             const YieldFn& yield = {});

}  // namespace kestrelmoor
