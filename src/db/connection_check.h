// SPDX-License-Identifier: MIT
// The silent connection attempt behind "Test Connection", "Next >" and the start-up with a remembered
// login.
#pragma once

#include <functional>

#include "db/database.h"

namespace kestrelmoor::db {

// Opens a connection with the login and drops it again; true when the open succeeded. Shows nothing.
// `wait_hook` runs while the server is waited for (see Connection::SetWaitHook). A failure to create
// the connection object is not caught: it reaches the caller.
bool CanConnect(Database& database, const Login& login, std::function<void()> wait_hook = {});

}  // namespace kestrelmoor::db
