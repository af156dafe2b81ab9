// SPDX-License-Identifier: MIT
// A list as the exports read it: checked rows of text cells, columns numbered from 1 (column 1 is the
// row's text, the others its sub-items).
#pragma once

#include <string>

#include "common/checked_list.h"

namespace kestrelmoor {

class ListSource : public CheckedList {
  public:
    virtual int ColumnCount() const = 0;
    virtual std::string Cell(std::int64_t row, int column) const = 0;
};

}  // namespace kestrelmoor
