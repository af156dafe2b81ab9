#include "cli/lookahead_inserter.h"

#include <algorithm>

#include "core/address_chars.h"

namespace kestrelmoor::cli {

void LookaheadInserter::Add(std::string_view address) {
    if (count_ == kDepth) EnterOldest();
    Pending& next = At(count_++);
    next.address.assign(address);
    next.lowered.resize(address.size());
    std::transform(address.begin(), address.end(), next.lowered.begin(), AsciiLower);
    next.hash = SeenAddresses::HashOf(next.lowered);
    seen_.PrefetchSlot(next.hash);
    // Halfway through the window the slot has arrived: fetch the entry it points at.
    if (count_ > kDepth / 2) seen_.PrefetchEntry(At(count_ - 1 - kDepth / 2).hash);
}

void LookaheadInserter::EnterOldest() {
    Pending& oldest = At(0);
    if (seen_.Insert(oldest.lowered, oldest.hash)) on_new_(oldest.address);
    oldest_ = (oldest_ + 1) % kDepth;
    --count_;
}

void LookaheadInserter::Flush() {
    while (count_ > 0) EnterOldest();
}

}  // namespace kestrelmoor::cli
