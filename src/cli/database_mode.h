#pragma once

#include <string>
#include <vector>

namespace kestrelmoor::cli {

// The database mode: parses `args` (the arguments after the program name), logs in, reads the tables
// and writes the addresses. Returns the exit status: 0 when all went well, 1 when anything failed
// (each failure printed to standard error), 2 on a usage error.
int RunDatabaseMode(const std::vector<std::string>& args);

}  // namespace kestrelmoor::cli
