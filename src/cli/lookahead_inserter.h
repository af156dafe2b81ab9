#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/extract_new_addresses.h"
#include "core/seen_addresses.h"

namespace kestrelmoor::cli {

// Enters addresses in the seen set a few behind the scan, in the order given, and hands on the new
// ones. Meanwhile each pending address's slot, and then the entry the slot holds, are fetched into the
// cache, so that on a large input the set's cache misses overlap with scanning the next rows instead
// of stalling it. Only for callers that do not yield between addresses: the hand-on comes late.
class LookaheadInserter {
  public:
    LookaheadInserter(SeenAddresses& seen, AddressSink on_new) : seen_(seen), on_new_(std::move(on_new)) {}
    LookaheadInserter(const LookaheadInserter&) = delete;
    LookaheadInserter& operator=(const LookaheadInserter&) = delete;

    void Add(std::string_view address);
    // Enters every pending address; call at the end.
    void Flush();

  private:
    static constexpr std::size_t kDepth = 8;
    struct Pending {
        std::string address;
        std::string lowered;
        std::uint32_t hash = 0;
    };
    Pending& At(std::size_t age) { return pending_[(oldest_ + age) % kDepth]; }
    void EnterOldest();

    SeenAddresses& seen_;
    AddressSink on_new_;
    std::array<Pending, kDepth> pending_;
    std::size_t oldest_ = 0;
    std::size_t count_ = 0;
};

}  // namespace kestrelmoor::cli
