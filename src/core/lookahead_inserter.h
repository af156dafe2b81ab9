#pragma once

#include <array>
#include <cstdint>
#include <exception>
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
    // Each address comes with the origin it was found in (a row, say), handed on with it.
    using NewAddressSink = std::function<void(std::string_view address, std::int64_t origin)>;
    // Entering an address of `origin` threw; without a sink the exception goes on to the caller.
    using FailureSink = std::function<void(std::int64_t origin, std::exception_ptr failure)>;

    LookaheadInserter(SeenAddresses& seen, NewAddressSink on_new, FailureSink on_failure = {})
        : seen_(seen), on_new_(std::move(on_new)), on_failure_(std::move(on_failure)) {}
    LookaheadInserter(const LookaheadInserter&) = delete;
    LookaheadInserter& operator=(const LookaheadInserter&) = delete;

    void Add(std::string_view address, std::int64_t origin = 0);
    // Enters every pending address; call at the end.
    void Flush();
    // Forgets the pending addresses without entering them.
    void Drop() { count_ = 0; }
    bool HasPending() const { return count_ > 0; }

  private:
    static constexpr std::size_t kDepth = 8;
    struct Pending {
        std::string address;
        std::string lowered;
        std::uint32_t hash = 0;
        std::int64_t origin = 0;
    };
    Pending& At(std::size_t age) { return pending_[(oldest_ + age) % kDepth]; }
    void EnterOldest();

    SeenAddresses& seen_;
    NewAddressSink on_new_;
    FailureSink on_failure_;
    std::array<Pending, kDepth> pending_;
    std::size_t oldest_ = 0;
    std::size_t count_ = 0;
    // An origin stops at its first failure, as a scan that throws stops: its later addresses are
    // neither entered nor handed on.
    bool failed_ = false;
    std::int64_t failed_origin_ = 0;
};

}  // namespace kestrelmoor
