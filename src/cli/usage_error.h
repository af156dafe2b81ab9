// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>

namespace kestrelmoor::cli {

// The command line, or an option value from the environment or an option file, cannot be understood;
// the message says why (exit status 2).
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace kestrelmoor::cli
