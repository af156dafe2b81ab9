// SPDX-License-Identifier: MIT
// The login the database mode connects with. Each value is taken from the first source that gives
// it: the command line, the environment (MYSQL_HOST, MYSQL_TCP_PORT, MYSQL_UNIX_PORT, MYSQL_PWD), the
// option files (a later line overriding an earlier one), and last the login that the connection
// window remembers, the settings store, for the host, user, password, database and port.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/login_options.h"
#include "cli/options.h"
#include "common/settings_store.h"
#include "db/login.h"

namespace kestrelmoor::cli {

struct LoginSources {
    std::function<std::optional<std::string>(const char* name)> environment;  // a variable, when set
    std::vector<Setting> option_files;                                        // in the order read
    std::function<std::string(SettingKey)> setting;                           // a value of the settings store
};

// The sources of this process: its environment, the option files that `line` chooses and the settings
// store, opened only when a value is missing. Throws as ReadOptionFiles does.
LoginSources RealLoginSources(const CommandLine& line, const std::function<void(const std::string&)>& report);

struct Login {
    std::string host;
    std::string user;
    std::string password;
    bool ask_password = false;  // the password is still to be asked for on the terminal
    std::string database;
    int port = 3306;
    db::ConnectionOptions connection;
    std::map<std::string, std::string, std::less<>> origins;  // "port" -> "MYSQL_TCP_PORT"
};

// Never asks for the password itself (see Login::ask_password). Throws UsageError for a malformed
// value in the environment or a file, std::runtime_error for a stored port that is no port number.
Login ResolveLogin(const CommandLine& line, const LoginSources& sources);

// The five values that every connection takes, as the connection window holds them.
db::Login ForConnection(const Login& login);

}  // namespace kestrelmoor::cli
