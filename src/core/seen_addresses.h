#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kestrelmoor {

// The lower-cased addresses already returned in one extraction run; exact comparison.
// An extraction of a big table adds hundreds of thousands of entries, and the look-up's cache miss
// is then the largest cost of the whole scan: so the table is open addressing over 8-byte slots,
// and the entries' text lies in large blocks, touched only when a slot's hash tag matches.
class SeenAddresses {
  public:
    SeenAddresses();

    // Adds the ASCII lower-cased form of `address`; true when that entry was not there before.
    bool InsertLowered(std::string_view address);
    // Adds `entry` as it stands; true when it was not there before.
    bool Insert(std::string_view entry);
    bool Contains(std::string_view entry) const;
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Slot {
        std::uint32_t entry = 0;  // index into entries_ plus one; 0 marks an empty slot
        std::uint32_t hash = 0;
    };

    char* Reserve(std::size_t length);
    bool Commit(char* text, std::size_t length);
    // Index of the entry's slot, or of the empty slot where it would go.
    std::size_t Find(std::uint32_t hash, std::string_view entry) const;
    void Grow();

    std::vector<Slot> slots_;
    std::vector<std::string_view> entries_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* block_free_ = nullptr;
    std::size_t block_left_ = 0;
};

}  // namespace kestrelmoor
