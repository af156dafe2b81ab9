// Reads the ODBC-style connection string that every connection is opened with, the way ODBC drivers
// read one: "KEY=value" attributes separated by ";", keys in any letter case, the first occurrence of a
// key wins, unknown keys and pieces without "=" are ignored, and a value that starts with "{" runs to
// the matching "}" (a "}}" inside stands for one "}") and may hold ";". Values are otherwise taken
// exactly as written: no trimming, no unquoting. Our own strings are never braced, so a ";" typed into
// a login field ends the value there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelmoor::db {

// The driver that every connection string names.
inline constexpr std::string_view kDriverName = "MySQL ODBC 5.1 Driver";
inline constexpr std::uint16_t kDefaultPort = 3306;

struct ConnectionSettings {
    std::string server;                 // SERVER; empty means "localhost"
    std::string user;                   // USER or UID
    std::string password;               // PASSWORD or PWD
    std::string database;               // DATABASE or DB; empty means no default database
    std::uint16_t port = kDefaultPort;  // PORT; empty means 3306
};

// Throws DatabaseError when a braced value is not closed, when DRIVER names another driver, or when
// PORT is not a whole number from 1 to 65535.
ConnectionSettings ReadConnectionString(std::string_view text);

}  // namespace kestrelmoor::db
