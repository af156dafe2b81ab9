// SPDX-License-Identifier: MIT
#pragma once

#include "cli/login/login.h"
#include "cli/login/options.h"
#include "db/database.h"

namespace kestrelmoor::cli {

// The database mode: logs in to `database` with `login` (asking for the password first where it is to be
// asked), reads the tables and writes the addresses as `options` say. Returns the exit status: 0 when all
// went well, 1 when anything failed (each failure printed to standard error). `found` tells whether
// --find's addresses had a line.
int RunDatabaseMode(const CommandLine& options, ResolvedLogin login, db::Database& database, bool& found);

}  // namespace kestrelmoor::cli
