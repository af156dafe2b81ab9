#include "db/row_store.h"

#include <algorithm>
#include <cstring>

#include "db/database.h"

namespace kestrelmoor::db {
namespace {

constexpr std::size_t kMaxRowBytes = (std::size_t{1} << 31) - 1;

// Small results (the table catalogue, a short table) stay small; a big one soon gets blocks of 32 MiB.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{32} << 20;

constexpr std::size_t AlignUp(std::size_t bytes) {
    constexpr std::size_t kAlign = alignof(std::uint32_t);
    return (bytes + kAlign - 1) & ~(kAlign - 1);
}

}  // namespace

char* RowStore::Reserve(std::size_t bytes) {
    if (blocks_.empty() || blocks_.back().size - used_ < bytes) {
        const std::size_t grown =
            blocks_.empty() ? kFirstBlock : std::min(blocks_.back().size * 2, kLargestBlock);
        const std::size_t size = std::max(grown, AlignUp(bytes));
        blocks_.push_back(Block{std::make_unique_for_overwrite<char[]>(size), size});
        used_ = 0;
    }
    char* piece = blocks_.back().data.get() + used_;
    used_ += bytes;
    return piece;
}

void RowStore::Append(const char* const* values, const unsigned long* lengths) {
    std::size_t text = 0;
    for (std::size_t i = 0; i < field_count_; ++i) {
        if (values[i]) text += lengths[i];
    }
    if (text > kMaxRowBytes) throw DatabaseError("a row of more than 2 GiB cannot be held");
    const std::size_t header = field_count_ * sizeof(Offset);
    char* row = Reserve(AlignUp(header + text));

    char* bytes = row + header;
    Offset end = 0;
    for (std::size_t i = 0; i < field_count_; ++i) {
        Offset entry = end | kNullField;
        if (values[i]) {
            std::memcpy(bytes + end, values[i], lengths[i]);
            end += static_cast<Offset>(lengths[i]);
            entry = end;
        }
        std::memcpy(row + i * sizeof(Offset), &entry, sizeof(Offset));
    }
    rows_.push_back(row);
}

}  // namespace kestrelmoor::db
