// The login the database mode connects with: each value from the command line where given, the
// password also from the terminal or $MYSQL_PWD, and every other value from the settings store, the
// login that the connection window remembers.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/options.h"
#include "common/settings_store.h"
#include "db/login.h"

namespace kestrelmoor::cli {

struct LoginSources {
    std::optional<std::string> mysql_pwd;            // $MYSQL_PWD, when set
    std::function<std::string(SettingKey)> setting;  // a value of the settings store
    std::function<std::string()> prompt_password;    // asks on the terminal
};

// The password is the option's value, else the terminal's answer when asked for, else $MYSQL_PWD,
// else the stored one. The settings store is read only for values the command line leaves out.
db::Login ResolveLogin(const DatabaseOptions& options, const LoginSources& sources);

}  // namespace kestrelmoor::cli
