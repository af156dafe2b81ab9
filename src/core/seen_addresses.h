// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrelmoor {

// The lower-cased addresses already returned in one extraction run; exact comparison. Each entry has a
// number: its place in the order of entry, from 0.
// An extraction of a big table looks up hundreds of thousands of addresses, and the look-up's cache
// misses are then the largest cost of the whole scan: so the table is open addressing over 8-byte
// slots, and each entry's text lies with its length in one growing block, so that comparing an entry
// touches one place in memory besides its slot.
class SeenAddresses {
  public:
    SeenAddresses();

    // Adds `entry` as it stands; true when it was not there before.
    bool Insert(std::string_view entry);
    bool Contains(std::string_view entry) const;

    // For callers that look up several entries at once. The hash Insert would compute for `entry`;
    // Insert with that hash; and a hint to bring the entry's slot, then (once the slot is cached) the
    // entry it holds, into the cache ahead of the Insert.
    static std::uint32_t HashOf(std::string_view entry);
    bool Insert(std::string_view entry, std::uint32_t hash);
    // Insert that also gives the entry's number, whether it was there before or not.
    struct Entered {
        std::uint32_t number = 0;
        bool added = false;
    };
    Entered Enter(std::string_view entry, std::uint32_t hash);
    void PrefetchSlot(std::uint32_t hash) const;
    void PrefetchEntry(std::uint32_t hash) const;
    std::size_t Size() const { return size_; }

  private:
    struct Slot {
        std::uint32_t entry = 0;  // where the entry's record starts in text_, plus one; 0: empty slot
        std::uint32_t hash = 0;
    };

    // Appends a record (length, number, then text) for a new entry; returns where the record starts.
    std::size_t Append(std::string_view entry);
    std::string_view EntryAt(std::uint32_t entry) const;
    std::uint32_t NumberAt(std::uint32_t entry) const;
    // Index of the entry's slot, or of the empty slot where it would go.
    std::size_t Find(std::uint32_t hash, std::string_view entry) const;
    void Grow();

    std::vector<Slot> slots_;
    std::vector<char> text_;
    std::size_t size_ = 0;
};

}  // namespace kestrelmoor
