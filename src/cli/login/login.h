// SPDX-License-Identifier: MIT
// The login the database mode connects with, found as the mariadb client finds it: each value from the
// first source that gives it, the command line, the option files (a later line overriding an earlier
// one), the environment (MYSQL_HOST, MYSQL_TCP_PORT, MYSQL_UNIX_PORT, MYSQL_PWD); and last the login
// that the connection window remembers (the settings store), taken whole or not at all: only when no
// other source names the server, user or port, or when they come out as the stored ones, so that its
// password never goes to another server or user.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/login/login_options.h"
#include "cli/login/options.h"
#include "common/settings_store.h"
#include "db/login.h"

namespace kestrelmoor::cli {

struct LoginSources {
    std::function<std::optional<std::string>(const char* name)> environment;  // a variable, when set
    std::vector<Setting> option_files;                                        // in the order read
    std::function<std::optional<std::string>(SettingKey)> setting;            // a stored value, if stored
    std::function<std::string()> password_place;  // where the store's password was found, once read
    std::function<std::string()> system_user;     // the name the client library sends when none is given
};

// The name the client library sends for a login without a user: "root" for the superuser, else the
// login name, else the account's name, else $USER, $LOGNAME or $LOGIN.
std::string SystemLoginName();

// The sources of this process: its environment, the option files that `line` chooses and the settings
// store, opened only when a value is missing. Throws as ReadOptionFiles does.
LoginSources RealLoginSources(const CommandLine& line, const std::function<void(const std::string&)>& report);

// The login every connection takes (its server "localhost" for the local one), and how it was found.
struct ResolvedLogin : db::Login {
    bool ask_password = false;         // the password is still to be asked for on the terminal
    db::ConnectionOptions connection;  // its transport always set: TCP, or the socket for "localhost"
    std::optional<int> jobs;           // connections a run reads over at once; the run's default if none
    std::map<std::string, std::string, std::less<>> origins;  // "port" -> "MYSQL_TCP_PORT"
};

// Never asks for the password itself (see ResolvedLogin::ask_password). The transport is the client's: the
// last of --port (TCP), --socket (the socket) and --protocol on the command line decides, else a
// protocol from a file; then "localhost" uses the socket unless TCP was asked for, any other host TCP.
// Throws UsageError for a malformed value in the environment or a file, std::runtime_error for a stored
// port that is no port number.
ResolvedLogin ResolveLogin(const CommandLine& line, const LoginSources& sources);

}  // namespace kestrelmoor::cli
