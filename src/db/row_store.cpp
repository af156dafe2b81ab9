#include "db/row_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "db/database.h"

namespace kestrelmoor::db {
namespace {

constexpr std::size_t kMaxRowBytes = (std::size_t{1} << 31) - 1;

// Small results (the table catalogue, a short table) stay small; a big one soon gets blocks of 32 MiB,
// which the kernel may back with 2 MiB pages: far fewer page faults while a big table arrives.
constexpr std::size_t kFirstBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestBlock = std::size_t{32} << 20;
constexpr std::size_t kHugePageWorthy = std::size_t{4} << 20;

constexpr std::size_t AlignUp(std::size_t bytes) {
    constexpr std::size_t kAlign = alignof(std::uint32_t);
    return (bytes + kAlign - 1) & ~(kAlign - 1);
}

}  // namespace

RowStore::~RowStore() {
    Release();
}

RowStore::RowStore(RowStore&& other) noexcept
    : field_count_(other.field_count_),
      forgotten_(std::exchange(other.forgotten_, 0)),
      rows_(std::move(other.rows_)),
      blocks_(std::move(other.blocks_)),
      free_(std::exchange(other.free_, nullptr)),
      free_bytes_(std::exchange(other.free_bytes_, 0)) {
    other.rows_.clear();
    other.blocks_.clear();
}

RowStore& RowStore::operator=(RowStore&& other) noexcept {
    if (this != &other) {
        Release();
        field_count_ = other.field_count_;
        forgotten_ = std::exchange(other.forgotten_, 0);
        rows_ = std::move(other.rows_);
        blocks_ = std::move(other.blocks_);
        free_ = std::exchange(other.free_, nullptr);
        free_bytes_ = std::exchange(other.free_bytes_, 0);
        other.rows_.clear();
        other.blocks_.clear();
    }
    return *this;
}

void RowStore::Release() {
    for (const Block& block : blocks_) ::munmap(block.data, block.size);
    blocks_.clear();
    rows_.clear();
    free_ = nullptr;
    free_bytes_ = 0;
}

void RowStore::ForgetRows() {
    forgotten_ += static_cast<std::int64_t>(rows_.size());
    rows_.clear();
    if (blocks_.empty()) return;
    for (std::size_t i = 0; i + 1 < blocks_.size(); ++i) ::munmap(blocks_[i].data, blocks_[i].size);
    blocks_.erase(blocks_.begin(), blocks_.end() - 1);
    free_ = blocks_.back().data;
    free_bytes_ = blocks_.back().size;
}

char* RowStore::Reserve(std::size_t bytes) {
    if (bytes > free_bytes_) {
        const std::size_t grown =
            blocks_.empty() ? kFirstBlock : std::min(blocks_.back().size * 2, kLargestBlock);
        const std::size_t size = std::max(grown, AlignUp(bytes));
        void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED) throw std::bad_alloc();
        // Only a hint: without transparent huge pages the block is simply made of small pages.
        if (size >= kHugePageWorthy) ::madvise(data, size, MADV_HUGEPAGE);
        try {
            blocks_.push_back(Block{static_cast<char*>(data), size});
        } catch (...) {
            ::munmap(data, size);
            throw;
        }
        free_ = static_cast<char*>(data);
        free_bytes_ = size;
    }
    char* piece = free_;
    free_ += bytes;
    free_bytes_ -= bytes;
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
