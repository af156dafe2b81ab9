// SPDX-License-Identifier: MIT
// One row of a result as the client library hands it over, read in place.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelmoor::db {

// Field i is values[i] (null for NULL), lengths[i] bytes long, in the column named names[i]; valid as
// long as the arrays are.
class RowView {
  public:
    RowView(const char* const* values, const unsigned long* lengths, const std::string* names,
            std::size_t field_count)
        : values_(values), lengths_(lengths), names_(names), field_count_(field_count) {}

    std::size_t FieldCount() const { return field_count_; }
    const std::string& ColumnName(std::size_t column) const { return names_[column]; }
    std::vector<std::string> ColumnNames() const { return {names_, names_ + field_count_}; }
    // std::nullopt for NULL; the column must be in range.
    std::optional<std::string_view> Value(std::size_t column) const {
        if (values_[column] == nullptr) return std::nullopt;
        return std::string_view(values_[column], lengths_[column]);
    }

    // The whole number the field begins with; std::nullopt for NULL or a field that does not begin with one.
    std::optional<std::int64_t> Integer(std::size_t column) const {
        const auto value = Value(column);
        std::int64_t number = 0;
        if (!value || std::from_chars(value->data(), value->data() + value->size(), number).ec != std::errc{})
            return std::nullopt;
        return number;
    }

    // Calls on_value(column, value) for each non-NULL value that holds the byte `c`, in column order.
    template <class OnValue>
    void ForEachValueHolding(char c, OnValue&& on_value) const {
        for (std::size_t i = 0; i < field_count_; ++i) {
            if (values_[i] != nullptr && std::memchr(values_[i], c, lengths_[i]) != nullptr) {
                on_value(i, std::string_view(values_[i], lengths_[i]));
            }
        }
    }

  private:
    const char* const* values_;
    const unsigned long* lengths_;
    const std::string* names_;
    std::size_t field_count_;
};

}  // namespace kestrelmoor::db
