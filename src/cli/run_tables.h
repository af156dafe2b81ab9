// SPDX-License-Identifier: MIT
// Which tables a database-mode run reads, as the command line asks: the tables named, every table of
// the login's database, or every table of each database named (--databases) or seen (--all-databases).
#pragma once

#include "cli/login/options.h"
#include "cli/output/console.h"
#include "cli/table_names.h"
#include "db/database.h"

namespace kestrelmoor::cli {

// Fills `tables`, leaving out those whose name begins with "sys" when listed rather than named. A
// database of several that the server refuses (unknown, or not the user's) is reported and passed
// over; the return value counts them. What ends the run (the login's database or the databases cannot
// be listed, or the login fails) throws, with the message to print.
int ListRunTables(const CommandLine& options, db::Database& database, const db::Login& login,
                  TableNames& tables, Console& console);

}  // namespace kestrelmoor::cli
