// SPDX-License-Identifier: MIT
// The login and connection options as typed, checked values, whatever their source: the command line,
// the environment or an option file. Each source hands over settings by the option files' key names
// ("port", "ssl-ca"); applying them in order of rising precedence lets the later source win.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "db/connection_options.h"

namespace kestrelmoor::cli {

struct LoginOptions {
    std::optional<std::string> host;
    std::optional<std::string> user;
    std::optional<std::string> password;
    bool ask_password = false;  // "-p" or a bare "password" line: ask on the terminal
    std::optional<std::string> database;
    std::optional<int> port;
    db::ConnectionOptions connection;
    std::optional<int> jobs;  // connections a run reads over at once
    // Where each value set came from, by key name ("port" -> "command line").
    std::map<std::string, std::string, std::less<>> origins;
};

// One option from some source. `spelled` is how its user wrote it, for messages: "--port",
// "MYSQL_TCP_PORT", "/home/ann/.my.cnf:3: port".
struct Setting {
    std::string key;                   // the option files' name, dashes only: "connect-timeout"
    std::optional<std::string> value;  // missing: given without "=VALUE"
    std::string origin;                // for --print-login: "command line", "MYSQL_HOST", a file
    std::string spelled;
};

// True for a key this program reads (after "_" became "-"); "skip-" and "loose-" forms included.
bool IsLoginKey(std::string_view key);

// The key that the setting's key names in full: itself when known ("ssl_ca" -> "ssl-ca"), or the one
// known key it begins, as the client takes an abbreviation ("pass" -> "password", "skip-comp" ->
// "skip-compress"); nullopt when it begins none. Throws UsageError when it begins several.
struct FullKey {
    std::string key;
    bool abbreviated = false;
};
std::optional<FullKey> FullLoginKey(const Setting& setting);

// Checks the value and stores it. Throws UsageError worded with `spelled`, e.g.
// "--port: 'abc' is not a port number (1-65535)", and never quoting a password.
void ApplySetting(LoginOptions& login, const Setting& setting);

}  // namespace kestrelmoor::cli
