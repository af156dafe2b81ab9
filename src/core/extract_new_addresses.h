#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/seen_addresses.h"

namespace kestrelmoor {

// Called once per candidate token so that a long scan can let the window system breathe.
using YieldFn = std::function<void()>;
// Receives each new address; the view lives until the call returns.
using AddressSink = std::function<void(std::string_view)>;

// Hands on every candidate token of `text` that passes the address pattern, in text order, line feeds
// removed, whether met before or not. Yields once per candidate token before examining it.
void ForEachValidAddress(std::string_view text, const AddressSink& on_valid, const YieldFn& yield = {});

// Finds the addresses in `text` that `seen` does not hold yet, in order of first appearance and in
// the letter case met first, adds their lower-cased forms to `seen` and hands each to `on_new` at
// once, so that an address is never entered in `seen` without being delivered. Yields once per
// candidate token before examining it. Equivalent to blanking the punctuation, splitting into
// candidates and testing each, but searches for "@" instead of splitting the whole text.
void ForEachNewAddress(std::string_view text, SeenAddresses& seen, const AddressSink& on_new,
                       const YieldFn& yield = {});

// The same, collected into a list.
std::vector<std::string> ExtractNewAddresses(std::string_view text, SeenAddresses& seen,
                                             const YieldFn& yield = {});

}  // namespace kestrelmoor
