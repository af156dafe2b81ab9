// SPDX-License-Identifier: MIT
#pragma once

#include "db/database.h"

namespace kestrelmoor::db {

// The server took the user but not the login's database: it does not exist or the user may not use
// it. Another database may still work with the same login; any other failure to log in ends there.
class DatabaseRefused : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

}  // namespace kestrelmoor::db
