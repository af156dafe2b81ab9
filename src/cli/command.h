// SPDX-License-Identifier: MIT
#pragma once

namespace kestrelmoor::cli {

// The whole command: reads the command line (overwriting a password in `argv`), answers --help,
// --version and --print-login, or runs the text or the database mode. Returns the exit status:
// 0 success, 1 a failure (each printed to standard error), 2 a usage error.
int RunCommand(int argc, char** argv);

}  // namespace kestrelmoor::cli
