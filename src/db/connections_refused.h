// SPDX-License-Identifier: MIT
#pragma once

#include "db/database.h"

namespace kestrelmoor::db {

// The server took the login but no further connection: too many are open, for the user or for the
// server. A run holding other connections goes on with those.
class ConnectionsRefused : public DatabaseError {
  public:
    using DatabaseError::DatabaseError;
};

}  // namespace kestrelmoor::db
