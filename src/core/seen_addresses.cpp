// SPDX-License-Identifier: MIT
#include "core/seen_addresses.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

namespace kestrelmoor {
namespace {

// 64 Ki slots (512 KiB): a small run never grows, a big one skips the costly early doublings.
constexpr std::size_t kInitialSlots = std::size_t{1} << 16;
constexpr std::size_t kLengthBytes = sizeof(std::uint32_t);
// The number follows the length, in the cache line that comparing the entry reads anyway.
constexpr std::size_t kHeaderBytes = kLengthBytes + sizeof(std::uint32_t);
// Records are found by a 32-bit position; past that the set refuses more rather than wrap around.
constexpr std::size_t kMaxText = std::numeric_limits<std::uint32_t>::max() - 1;

}  // namespace

// 32 bits choose the slot and tell most different entries apart before their text is compared; the
// table never needs more slots than that.
std::uint32_t SeenAddresses::HashOf(std::string_view entry) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(entry));
}

void SeenAddresses::PrefetchSlot(std::uint32_t hash) const {
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
}

void SeenAddresses::PrefetchEntry(std::uint32_t hash) const {
    const Slot& slot = slots_[hash & (slots_.size() - 1)];
    if (slot.entry != 0 && slot.hash == hash) __builtin_prefetch(text_.data() + (slot.entry - 1));
}

SeenAddresses::SeenAddresses() : slots_(kInitialSlots) {
    text_.reserve(std::size_t{1} << 16);
}

std::string_view SeenAddresses::EntryAt(std::uint32_t entry) const {
    const char* record = text_.data() + (entry - 1);
    std::uint32_t length = 0;
    std::memcpy(&length, record, kLengthBytes);
    return std::string_view(record + kHeaderBytes, length);
}

std::uint32_t SeenAddresses::NumberAt(std::uint32_t entry) const {
    std::uint32_t number = 0;
    std::memcpy(&number, text_.data() + (entry - 1) + kLengthBytes, sizeof number);
    return number;
}

std::size_t SeenAddresses::Find(std::uint32_t hash, std::string_view entry) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry == 0) return i;
        if (slot.hash == hash && EntryAt(slot.entry) == entry) return i;
    }
}

bool SeenAddresses::Contains(std::string_view entry) const {
    return slots_[Find(HashOf(entry), entry)].entry != 0;
}

std::size_t SeenAddresses::Append(std::string_view entry) {
    if (entry.size() > kMaxText || text_.size() + kHeaderBytes + entry.size() > kMaxText) {
        throw std::length_error("too many distinct addresses");
    }
    const auto length32 = static_cast<std::uint32_t>(entry.size());
    const auto number = static_cast<std::uint32_t>(size_);
    const std::size_t record = text_.size();
    text_.resize(record + kHeaderBytes + entry.size());
    std::memcpy(text_.data() + record, &length32, kLengthBytes);
    std::memcpy(text_.data() + record + kLengthBytes, &number, sizeof number);
    std::copy(entry.begin(), entry.end(), text_.begin() + static_cast<std::ptrdiff_t>(record + kHeaderBytes));
    return record;
}

bool SeenAddresses::Insert(std::string_view entry) {
    return Insert(entry, HashOf(entry));
}

bool SeenAddresses::Insert(std::string_view entry, std::uint32_t hash) {
    return Enter(entry, hash).added;
}

SeenAddresses::Entered SeenAddresses::Enter(std::string_view entry, std::uint32_t hash) {
    // Most addresses met are known ones: they are only looked up, never copied.
    Slot& slot = slots_[Find(hash, entry)];
    if (slot.entry != 0) return Entered{NumberAt(slot.entry), false};
    slot = Slot{static_cast<std::uint32_t>(Append(entry) + 1), hash};
    const auto number = static_cast<std::uint32_t>(size_);
    // Linear probing stays short up to about 70% occupancy.
    if (++size_ * 10 > slots_.size() * 7) Grow();
    return Entered{number, true};
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
