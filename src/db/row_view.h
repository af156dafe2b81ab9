// One row of a result as the client library hands it over, read in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

namespace kestrelmoor::db {

// Field i is values[i] (null for NULL), lengths[i] bytes long; valid as long as the arrays are.
// `buffer`, when there is one, is memory that may be read as a whole and that holds the values (the
// client library's packet buffer): see ForEachValueHolding.
class RowView {
  public:
    RowView(const char* const* values, const unsigned long* lengths, std::size_t field_count,
            std::string_view buffer = {})
        : values_(values), lengths_(lengths), field_count_(field_count), buffer_(buffer) {}

    std::size_t FieldCount() const { return field_count_; }
    // std::nullopt for NULL; the column must be in range.
    std::optional<std::string_view> Value(std::size_t column) const {
        if (values_[column] == nullptr) return std::nullopt;
        return std::string_view(values_[column], lengths_[column]);
    }

    // Calls on_value(value) for each non-NULL value that holds the byte `c`, in column order.
    // The client library leaves a row's values where they arrived, one after the other in its packet
    // buffer with only their length prefixes between them: one search over that stretch then turns
    // down a row without `c`, where a search per value would cost a call per field. A hit between
    // two values only costs a closer look. Values that do not lie so are searched one by one.
    template <class OnValue>
    void ForEachValueHolding(char c, OnValue&& on_value) const {
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!InOrderInBuffer(begin, end)) {
            for (std::size_t i = 0; i < field_count_; ++i) {
                if (values_[i] && std::memchr(values_[i], c, lengths_[i])) on_value(*Value(i));
            }
            return;
        }
        std::size_t column = 0;
        for (const char* from = begin; from < end;) {
            const auto* hit =
                static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(end - from)));
            if (hit == nullptr) return;
            // The value holding the hit, if any, is the first whose end lies past it.
            while (values_[column] == nullptr || values_[column] + lengths_[column] <= hit) ++column;
            if (hit >= values_[column]) {
                on_value(*Value(column));
                from = values_[column] + lengths_[column];
                ++column;
            } else {
                from = values_[column];  // the hit lay between two values
            }
        }
    }

    // True when the non-NULL values, at least one, lie in the buffer in column order, so that one
    // search covers them all.
    bool InOrderInBuffer() const {
        const char* begin = nullptr;
        const char* end = nullptr;
        return InOrderInBuffer(begin, end);
    }

  private:
    // True when the non-NULL values lie in the buffer in column order, none overlapping the next;
    // [begin, end) then spans them all.
    bool InOrderInBuffer(const char*& begin, const char*& end) const {
        if (buffer_.empty()) return false;
        // Addresses as numbers: the values need not share the buffer, which is what is checked.
        const auto first = reinterpret_cast<std::uintptr_t>(buffer_.data());
        const std::uintptr_t last = first + buffer_.size();
        std::uintptr_t free_from = first;
        for (std::size_t i = 0; i < field_count_; ++i) {
            if (values_[i] == nullptr) continue;
            const auto at = reinterpret_cast<std::uintptr_t>(values_[i]);
            if (at < free_from || at > last || last - at < lengths_[i]) return false;
            if (begin == nullptr) begin = values_[i];
            free_from = at + lengths_[i];
            end = values_[i] + lengths_[i];
        }
        return begin != nullptr;
    }

    const char* const* values_;
    const unsigned long* lengths_;
    std::size_t field_count_;
    std::string_view buffer_;
};

}  // namespace kestrelmoor::db
