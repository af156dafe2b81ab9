// SPDX-License-Identifier: MIT
#include "core/lookahead_inserter.h"

#include <algorithm>

#include "common/ascii.h"

namespace kestrelmoor {

void LookaheadInserter::Add(std::string_view address, const Origin& origin) {
    if (count_ == kDepth) EnterOldest();
    Pending& next = At(count_++);
    next.address.assign(address);
    next.lowered.resize(address.size());
    std::transform(address.begin(), address.end(), next.lowered.begin(), AsciiLower);
    next.hash = SeenAddresses::HashOf(next.lowered);
    next.origin = origin;
    seen_.PrefetchSlot(next.hash);
    // Halfway through the window the slot has arrived: fetch the entry it points at.
    if (count_ > kDepth / 2) seen_.PrefetchEntry(At(count_ - 1 - kDepth / 2).hash);
}

void LookaheadInserter::EnterOldest() {
    // Taken off first, so that a failure leaves the window in order.
    Pending& oldest = At(0);
    oldest_ = (oldest_ + 1) % kDepth;
    --count_;
    const SeenAddresses::Entered entered = seen_.Enter(oldest.lowered, oldest.hash);
    if (entered.added) on_new_(oldest.address, oldest.origin);
    if (on_entered_) on_entered_(entered.number, oldest.origin);
}

void LookaheadInserter::Flush() {
    while (count_ > 0) EnterOldest();
}

}  // namespace kestrelmoor
