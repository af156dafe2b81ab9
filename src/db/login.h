// SPDX-License-Identifier: MIT
// The MySQL login as the user types it into the connection window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrelmoor::db {

inline constexpr std::uint16_t kDefaultPort = 3306;

// Five free-text values, each handed to the client library exactly as typed: no trimming, no quoting.
struct Login {
    std::string server;  // empty or "localhost": the local server, through its Unix socket on port 3306
    std::string user;
    std::string password;
    std::string database;  // empty: no default database
    std::string port;      // empty: 3306
};

// The Unix socket that the client library connects to when none is named.
const char* DefaultSocketPath();

// The port box's text as a port number; empty gives kDefaultPort. Throws DatabaseError naming the text
// when it is not a whole number from 1 to 65535.
std::uint16_t PortNumber(std::string_view text);

}  // namespace kestrelmoor::db
