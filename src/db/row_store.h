// A query's whole result held on the client, filled row by row as the server sends it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrelmoor::db {

// Each row is one piece of a few large blocks (its fields' end offsets, then their bytes), so that a
// table of a million rows costs a few dozen allocations instead of millions.
class RowStore {
  public:
    explicit RowStore(std::size_t field_count) : field_count_(field_count) {}

    // Copies in one row of FieldCount() fields: values[i] null for NULL, else lengths[i] bytes.
    void Append(const char* const* values, const unsigned long* lengths);

    // Counts a row that was handed on as it arrived instead of being held; only before the first row
    // held.
    void CountRowNotHeld() { ++not_held_; }
    // The rows before this one were handed on, not held.
    std::int64_t FirstHeldRow() const { return not_held_; }

    std::int64_t RowCount() const { return not_held_ + static_cast<std::int64_t>(rows_.size()); }
    std::size_t FieldCount() const { return field_count_; }
    // std::nullopt for NULL; valid as long as the store. The row must be held, the column in range.
    std::optional<std::string_view> Value(std::int64_t row, std::size_t column) const {
        const char* piece = Held(row);
        const Offset end = OffsetAt(piece, column);
        if (end & kNullField) return std::nullopt;
        const Offset begin = column > 0 ? OffsetAt(piece, column - 1) & ~kNullField : 0;
        return std::string_view(piece + field_count_ * sizeof(Offset) + begin, end - begin);
    }

  private:
    const char* Held(std::int64_t row) const { return rows_[static_cast<std::size_t>(row - not_held_)]; }

    // A row starts with each field's end offset among the row's bytes; the bit kNullField marks a
    // NULL field (which ends where the one before it ended).
    using Offset = std::uint32_t;
    static constexpr Offset kNullField = Offset{1} << 31;
    static Offset OffsetAt(const char* piece, std::size_t column) {
        Offset offset = 0;
        std::memcpy(&offset, piece + column * sizeof(Offset), sizeof(Offset));
        return offset;
    }

    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size;
    };
    char* Reserve(std::size_t bytes);

    std::size_t field_count_;
    std::int64_t not_held_ = 0;
    std::vector<const char*> rows_;
    std::vector<Block> blocks_;
    std::size_t used_ = 0;  // bytes of the newest block already taken
};

}  // namespace kestrelmoor::db
