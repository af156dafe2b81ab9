// SPDX-License-Identifier: MIT
// The tables a run reads, as the window's table list (or the command line) holds them.
#pragma once

#include <cstdint>
#include <string>

namespace kestrelmoor {

// Rows are numbered from 1; each is read when the run reaches it, so a list changed during the run is
// read as it then stands.
class TableList {
  public:
    virtual ~TableList() = default;
    virtual std::int64_t Count() const = 0;
    virtual bool Checked(std::int64_t row) const = 0;
    virtual std::string Name(std::int64_t row) const = 0;
    // The database the table is read from; empty for the login's own.
    virtual std::string Database(std::int64_t /*row*/) const { return {}; }
};

}  // namespace kestrelmoor
