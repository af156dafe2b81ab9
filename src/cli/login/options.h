// SPDX-License-Identifier: MIT
// The command line of both modes, read into plain values: the login and connection options spelled as
// the mariadb/mysql client spells them, which option files to read, the output options and the tables
// or files named.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/login/login_options.h"
#include "cli/usage_error.h"

namespace kestrelmoor::cli {

// Which option files are read: the client's usual ones, only one (--defaults-file) or none.
struct OptionFileChoice {
    bool none = false;                 // --no-defaults
    std::optional<std::string> only;   // --defaults-file
    std::optional<std::string> extra;  // --defaults-extra-file
};

struct CommandLine {
    // The login options in the order given, each already checked; applied over the environment and
    // the option files, so that the command line wins.
    std::vector<Setting> login;
    OptionFileChoice option_files;

    bool text = false;                  // --text: `tables` are files to read
    bool comma = false;                 // the comma-delimited format instead of one address per line
    std::optional<std::string> output;  // a file instead of standard output
    bool where = false;                 // each address's places instead of the addresses alone
    bool header = false;                // --where's lines under a header line
    std::vector<std::string> find;      // only these addresses' places (implies --where)
    bool databases = false;             // --databases: `tables` are databases, each read whole
    bool all_databases = false;         // every database the login can see but the server's own
    bool print_login = false;
    bool verbose = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> tables;  // in the order named: tables, or with --text files
};

// Reads argv[1..argc-1]. Options, table and file names may come in any order; "--" ends the options.
// A password given on the command line is overwritten in `argv` at once, so that other users do not
// see it in the process list. Throws UsageError for an unknown option, a missing or malformed value.
CommandLine ParseCommandLine(int argc, char** argv);

// Throws UsageError for options that cannot go together (--comma with --where, names with
// --all-databases, ...); the parser reads each option alone, so that --help is still heard.
void CheckCombination(const CommandLine& line);

// The same for tests: a copy of `args` (the arguments after the program name) is parsed.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace kestrelmoor::cli
