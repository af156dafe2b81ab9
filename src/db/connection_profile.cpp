#include "db/connection_profile.h"

#include <exception>

namespace kestrelmoor::db {

std::string BuildConnectionString(const ConnectionProfile& profile) {
    std::string text = "DRIVER={MySQL ODBC 5.1 Driver};";
    text += "SERVER=" + profile.server + ";";
    text += "USER=" + profile.user + ";";
    text += "PASSWORD=" + profile.password + ";";
    text += "DATABASE=" + profile.database + ";";
    text += "PORT=" + profile.port + ";";
    return text;
}

bool CanConnect(Database& database, const ConnectionProfile& profile) {
    // Outside the attempt's own error handling: the caller's trap reports a component that cannot be made.
    const std::unique_ptr<Connection> connection = database.CreateConnection();
    try {
        connection->Open(BuildConnectionString(profile));
        return true;
    } catch (const std::exception&) {
        return false;
    }
    // The connection is dropped without an explicit Close; dropping it closes it.
}

}  // namespace kestrelmoor::db
