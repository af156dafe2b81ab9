// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "core/seen_addresses.h"

namespace kestrelmoor {

// Enters addresses in the seen set a few behind the scan, in the order given, and hands on the new
// ones. Meanwhile each pending address's slot, and then the entry the slot holds, are fetched into the
// cache, so that on a large input the set's cache misses overlap with scanning what follows instead
// of stalling it. Only for callers that do not yield between addresses: the hand-on comes late.
class LookaheadInserter {
  public:
    // Where an address was found (a row and its column, say), handed on with it.
    struct Origin {
        std::int64_t row = 0;
        std::size_t column = 0;
    };
    using NewAddressSink = std::function<void(std::string_view address, const Origin& origin)>;
    // Every address entered, new or not, by its number in the seen set; after on_new for a new one.
    using EnteredSink = std::function<void(std::uint32_t number, const Origin& origin)>;

    // What entering an address or handing it on throws goes on to the caller of Add or Flush; the
    // address is then no longer pending (and, once entered, stays entered).
    LookaheadInserter(SeenAddresses& seen, NewAddressSink on_new, EnteredSink on_entered = {})
        : seen_(seen), on_new_(std::move(on_new)), on_entered_(std::move(on_entered)) {}
    LookaheadInserter(const LookaheadInserter&) = delete;
    LookaheadInserter& operator=(const LookaheadInserter&) = delete;

    void Add(std::string_view address, const Origin& origin = Origin{0, 0});
    // Enters every pending address; call at the end.
    void Flush();
    bool HasPending() const { return count_ > 0; }

  private:
    static constexpr std::size_t kDepth = 8;
    struct Pending {
        std::string address;
        std::string lowered;
        std::uint32_t hash = 0;
        Origin origin;
    };
    Pending& At(std::size_t age) { return pending_[(oldest_ + age) % kDepth]; }
    void EnterOldest();

    SeenAddresses& seen_;
    NewAddressSink on_new_;
    EnteredSink on_entered_;
    std::array<Pending, kDepth> pending_;
    std::size_t oldest_ = 0;
    std::size_t count_ = 0;
};

}  // namespace kestrelmoor
