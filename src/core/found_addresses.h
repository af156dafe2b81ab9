// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrelmoor {

// The addresses met in a table read on a connection of its own, every one in the order met with its
// column and row, new or not: the run enters them in its seen set as if it had met them in the rows
// itself. Kept in one block of text, so that what they hold is counted in bytes.
class FoundAddresses {
  public:
    struct Met {
        std::uint32_t length = 0;
        std::uint32_t column = 0;
        std::int64_t row = 0;
    };

    void Add(std::string_view address, std::size_t column, std::int64_t row) {
        text_ += address;
        met_.push_back(
            Met{static_cast<std::uint32_t>(address.size()), static_cast<std::uint32_t>(column), row});
    }
    bool Empty() const { return met_.empty(); }
    // Every row `by` further on: what a range of a table met, once the rows of the ranges before it
    // are known.
    void ShiftRows(std::int64_t by) {
        for (Met& met : met_) met.row += by;
    }
    // What it holds in memory, room to grow included.
    std::size_t Bytes() const { return text_.capacity() + met_.capacity() * sizeof(Met); }

    // Calls on_address(address, column, row) for each in the order met.
    template <class OnAddress>
    void ForEach(OnAddress&& on_address) const {
        std::size_t at = 0;
        for (const Met& met : met_) {
            on_address(std::string_view(text_).substr(at, met.length), met.column, met.row);
            at += met.length;
        }
    }

  private:
    std::string text_;
    std::vector<Met> met_;
};

}  // namespace kestrelmoor
