// SPDX-License-Identifier: MIT
// A list as the exports read it: rows numbered from 1, columns from 1 (column 1 is the row's text,
// the others its sub-items), and each row's check mark.
#pragma once

#include <cstdint>
#include <string>

namespace kestrelmoor {

class ListSource {
  public:
    virtual ~ListSource() = default;
    virtual std::int64_t RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual std::string Cell(std::int64_t row, int column) const = 0;
    virtual bool Checked(std::int64_t row) const = 0;
};

}  // namespace kestrelmoor
