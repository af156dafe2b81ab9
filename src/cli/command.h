// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

#include "db/connection_options.h"
#include "db/database.h"

namespace kestrelmoor::cli {

// Makes the database a run reads, with the connection options the login asks for.
using DatabaseMaker = std::function<std::unique_ptr<db::Database>(const db::ConnectionOptions& options)>;

// The whole command: reads the command line (overwriting a password in `argv`), answers --help,
// --version and --print-login, or runs the text or the database mode. Returns the exit status:
// 0 success, 1 a failure (each printed to standard error), 2 a usage error. The database mode reads
// the database that `make_database` makes.
int RunCommand(int argc, char** argv, const DatabaseMaker& make_database);

}  // namespace kestrelmoor::cli
