// The login the database mode connects with: each value from the command line where given, the
// password also from the terminal or $MYSQL_PWD, and every other value from the settings store, the
// login that the connection window remembers.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/options.h"
#include "common/settings_store.h"
#include "db/connection_profile.h"

namespace kestrelmoor::cli {

struct LoginSources {
    std::optional<std::string> mysql_pwd;            // $MYSQL_PWD, when set
    std::function<std::string(SettingKey)> setting;  // a value of the settings store
    std::function<std::string()> prompt_password;    // asks on the terminal
};

// The password is the option's value, else the terminal's answer when asked for, else $MYSQL_PWD,
// else the stored one. The settings store is read only for values the command line leaves out.
db::ConnectionProfile ResolveLogin(const DatabaseOptions& options, const LoginSources& sources);

// The profile with each value braced where the connection string would otherwise cut or reread it
// (a ";" inside, a "{" in front), so that the server receives exactly what the user gave.
db::ConnectionProfile ProtectForConnectionString(db::ConnectionProfile profile);

}  // namespace kestrelmoor::cli
