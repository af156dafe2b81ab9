// The command line of the database mode, read into plain values: the login options spelled as the
// mariadb/mysql client spells them, the output options and the tables named.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrelmoor::cli {

// The command line cannot be understood; the message says why (exit status 2).
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct DatabaseOptions {
    // Login values given on the command line; each one missing is looked up later.
    std::optional<std::string> host;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> port;
    std::optional<std::string> database;
    // "-p" or "--password" without a value: ask on the terminal.
    bool prompt_password = false;

    bool comma = false;                 // the comma-delimited format instead of one address per line
    std::optional<std::string> output;  // a file instead of standard output
    bool help = false;
    std::vector<std::string> tables;  // in the order named; empty: every table the catalogue lists
};

// Reads the arguments after the program name. Options and table names may come in any order; "--"
// ends the options. Throws UsageError for an unknown option or a missing value.
DatabaseOptions ParseDatabaseOptions(const std::vector<std::string>& args);

}  // namespace kestrelmoor::cli
