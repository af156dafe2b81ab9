#include "core/seen_addresses.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <stdexcept>

#include "core/address_chars.h"

namespace kestrelmoor {
namespace {

// 64 Ki slots (512 KiB): a small run never grows, a big one skips the costly early doublings.
constexpr std::size_t kInitialSlots = std::size_t{1} << 16;
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kMaxEntries = std::numeric_limits<std::uint32_t>::max() - 1;

std::uint32_t HashOf(std::string_view text) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
}

}  // namespace

SeenAddresses::SeenAddresses() : slots_(kInitialSlots) {}

std::size_t SeenAddresses::Find(std::uint32_t hash, std::string_view entry) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry == 0) return i;
        if (slot.hash == hash && entries_[slot.entry - 1] == entry) return i;
    }
}

bool SeenAddresses::Contains(std::string_view entry) const {
    return slots_[Find(HashOf(entry), entry)].entry != 0;
}

// Room for one entry at the end of the current block; it only counts as used once committed, so a
// look-up that finds the entry already there costs no memory.
char* SeenAddresses::Reserve(std::size_t length) {
    if (length > block_left_) {
        std::size_t size = std::max(kBlockSize, length);
        blocks_.push_back(std::make_unique<char[]>(size));
        block_free_ = blocks_.back().get();
        block_left_ = size;
    }
    return block_free_;
}

bool SeenAddresses::Commit(char* text, std::size_t length) {
    std::string_view entry(text, length);
    std::uint32_t hash = HashOf(entry);
    Slot& slot = slots_[Find(hash, entry)];
    if (slot.entry != 0) return false;
    if (entries_.size() == kMaxEntries) throw std::length_error("too many distinct addresses");
    entries_.push_back(entry);
    slot = Slot{static_cast<std::uint32_t>(entries_.size()), hash};
    block_free_ += length;
    block_left_ -= length;
    // Linear probing stays short up to about 70% occupancy.
    if (entries_.size() * 10 > slots_.size() * 7) Grow();
    return true;
}

bool SeenAddresses::Insert(std::string_view entry) {
    char* text = Reserve(entry.size());
    std::copy(entry.begin(), entry.end(), text);
    return Commit(text, entry.size());
}

bool SeenAddresses::InsertLowered(std::string_view address) {
    char* text = Reserve(address.size());
    std::transform(address.begin(), address.end(), text, AsciiLower);
    return Commit(text, address.size());
}

void SeenAddresses::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.entry == 0) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].entry != 0) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

}  // namespace kestrelmoor
