// SPDX-License-Identifier: MIT
// A list of rows, each with its check mark: what the run reads of a table list and the exports of a
// result list.
#pragma once

#include <cstdint>

namespace kestrelmoor {

// Rows are numbered from 1; each is read when the reader reaches it, so a list changed meanwhile is
// read as it then stands.
class CheckedList {
  public:
    virtual ~CheckedList() = default;
    virtual std::int64_t Count() const = 0;
    virtual bool Checked(std::int64_t row) const = 0;
};

}  // namespace kestrelmoor
