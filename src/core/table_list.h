// SPDX-License-Identifier: MIT
// The tables a run reads, as the window's table list (or the command line) holds them.
#pragma once

#include <string>

#include "common/checked_list.h"

namespace kestrelmoor {

class TableList : public CheckedList {
  public:
    virtual std::string Name(std::int64_t row) const = 0;
    // The database the table is read from; empty for the login's own.
    virtual std::string Database(std::int64_t /*row*/) const { return {}; }
};

}  // namespace kestrelmoor
