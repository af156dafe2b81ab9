// The MySQL login that the user types into the connection window, the one connection string that every
// connection is opened with, and the silent connection attempt.
#pragma once

#include <string>

#include "db/database.h"

namespace kestrelmoor::db {

// Five free-text values, used exactly as typed.
struct ConnectionProfile {
    std::string server;
    std::string user;
    std::string password;
    std::string database;
    std::string port;
};

// "DRIVER={MySQL ODBC 5.1 Driver};SERVER=…;USER=…;PASSWORD=…;DATABASE=…;PORT=…;" with the values
// inserted unchanged: no trimming, no bracing, no escaping.
std::string BuildConnectionString(const ConnectionProfile& profile);

// Opens a connection with the profile's string and drops it again; true when the open succeeded. Shows
// nothing. A failure to create the connection object is not caught: it reaches the caller.
bool CanConnect(Database& database, const ConnectionProfile& profile);

}  // namespace kestrelmoor::db
