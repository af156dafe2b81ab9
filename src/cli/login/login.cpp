// SPDX-License-Identifier: MIT
#include "cli/login/login.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "cli/login/option_files.h"
#include "cli/login/settings_reader.h"
#include "cli/login/tls_request.h"

namespace kestrelmoor::cli {
namespace {

// The client's variables; an empty one counts as unset, except MYSQL_PWD: an empty password is one.
void ApplyEnvironment(LoginOptions& login, const LoginSources& sources) {
    const std::pair<const char*, const char*> variables[] = {{"MYSQL_UNIX_PORT", "socket"},
                                                             {"MYSQL_TCP_PORT", "port"},
                                                             {"MYSQL_HOST", "host"},
                                                             {"MYSQL_PWD", "password"}};
    for (const auto& [name, key] : variables) {
        const std::optional<std::string> value = sources.environment(name);
        if (value && (!value->empty() || std::string_view(key) == "password")) {
            ApplySetting(login, {key, value, name, name});
        }
    }
}

// Not the command line's fault: a failure, not a usage error.
db::Port StoredPort(const std::string& text) {
    if (text.empty()) return db::Port();
    if (const std::optional<db::Port> port = db::Port::Parse(text)) return *port;
    throw std::runtime_error("the stored login's port: '" + text + "' is not a port number (1-65535)");
}

bool IsPortNumber(const std::string& text) {
    return text.empty() || db::Port::Parse(text).has_value();
}

bool IsLocal(const std::string& host) {
    return host.empty() || host == "localhost";
}

// The protocol asked for, as the client takes it: on the command line --port asks for TCP and --socket
// for the socket, the last of them and --protocol deciding; else a protocol from an option file.
std::optional<db::Transport> AskedTransport(const CommandLine& line, const LoginOptions& given,
                                            std::string& origin) {
    for (auto setting = line.login.rbegin(); setting != line.login.rend(); ++setting) {
        origin = setting->origin;
        if (setting->key == "port") return db::Transport::Tcp;
        if (setting->key == "socket") return db::Transport::Socket;
        if (setting->key == "protocol") {
            LoginOptions one;
            ApplySetting(one, *setting);
            return one.connection.transport;
        }
    }
    if (const auto from = given.origins.find(std::string_view("protocol")); from != given.origins.end())
        origin = from->second;
    return given.connection.transport;
}

void ResolveTransport(ResolvedLogin& login, const CommandLine& line, const LoginOptions& given) {
    std::string origin;
    const std::optional<db::Transport> asked = AskedTransport(line, given, origin);
    // The client library takes the socket only for the host "localhost".
    const bool socket = (!asked || *asked == db::Transport::Socket) && IsLocal(login.server);
    const bool as_asked = asked && (*asked == db::Transport::Tcp || socket);
    login.connection.transport = socket ? db::Transport::Socket : db::Transport::Tcp;
    login.origins["transport"] = as_asked ? origin : "the host";
}

// A value of the stored login, or the key's fallback where the store holds none.
struct StoredValue {
    std::string text;
    const char* origin;
};

StoredValue ReadStored(const LoginSources& sources, SettingKey key) {
    if (std::optional<std::string> value = sources.setting(key)) return {std::move(*value), "stored login"};
    return {std::string(FieldOf(key).fallback), "default"};
}

// The stored server, user and port as the client library takes them: the system login name for no
// user, "localhost" for no server; the port as stored.
struct StoredTarget {
    StoredValue host;
    StoredValue user;
    StoredValue port;
};

StoredTarget ReadStoredTarget(const LoginSources& sources) {
    StoredTarget stored{ReadStored(sources, SettingKey::Server), ReadStored(sources, SettingKey::User),
                        ReadStored(sources, SettingKey::Port)};
    if (IsLocal(stored.host.text)) stored.host.text = "localhost";
    if (stored.user.text.empty()) stored.user = {sources.system_user(), "system login name"};
    return stored;
}

// The command line names where to connect also with a socket or a protocol: a socket typed for the
// remembered host would otherwise go unused when that host is reached by TCP.
bool NamesWhereToConnect(const CommandLine& line) {
    return std::any_of(line.login.begin(), line.login.end(), [](const Setting& setting) {
        return setting.key == "socket" || setting.key == "protocol";
    });
}

// A stored port that is no number makes another login than one named; it fails only when used.
bool SameTarget(const ResolvedLogin& login, const StoredTarget& stored) {
    return stored.host.text == login.server && stored.user.text == login.user &&
           IsPortNumber(stored.port.text) && StoredPort(stored.port.text) == login.port;
}

// The stored login for what no other source gave: its server, user and port only when no source names
// any of them (nor a socket or protocol on the command line), its password and database only for its
// own server, user and port; nothing of it with --no-defaults. The store is opened only when it may
// give something.
void TakeStoredLogin(ResolvedLogin& login, const CommandLine& line, const LoginOptions& given,
                     const LoginSources& sources) {
    if (line.option_files.none) return;
    const bool target_named = given.host || given.user || given.port || NamesWhereToConnect(line);
    const bool password_missing = !given.password && !given.ask_password;
    if (target_named && !password_missing && given.database) return;
    const StoredTarget stored = ReadStoredTarget(sources);
    if (target_named && !SameTarget(login, stored)) return;
    if (!target_named) {
        login.server = stored.host.text;
        login.user = stored.user.text;
        login.port = StoredPort(stored.port.text);
        login.origins["host"] = stored.host.origin;
        login.origins["user"] = stored.user.origin;
        login.origins["port"] = stored.port.origin;
    }
    const auto take = [&](SettingKey key, const char* name) {
        StoredValue value = ReadStored(sources, key);
        login.origins[name] = value.origin;
        return std::move(value.text);
    };
    if (password_missing) {
        login.password = take(SettingKey::Password, "password");
        // --print-login says where the window's password lies (the settings file, the secret service).
        if (const std::string place = sources.password_place ? sources.password_place() : std::string();
            !place.empty()) {
            login.origins["password"] += ", " + place;
        }
    }
    if (!given.database) login.database = take(SettingKey::Database, "database");
}

}  // namespace

std::string SystemLoginName() {
    if (::geteuid() == 0) return "root";
    if (const char* name = ::getlogin()) return name;
    if (const passwd* account = ::getpwuid(::geteuid())) return account->pw_name;
    for (const char* variable : {"USER", "LOGNAME", "LOGIN"}) {
        if (const char* name = std::getenv(variable)) return name;
    }
    return "UNKNOWN_USER";
}

LoginSources RealLoginSources(const CommandLine& line,
                              const std::function<void(const std::string&)>& report) {
    LoginSources sources;
    sources.environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    sources.option_files =
        ReadOptionFiles(OptionFilesFor(line.option_files, sources.environment("HOME")), report);
    // The store is opened only when a value is missing, so a full login never touches it.
    static const SecretService secrets;
    auto settings = std::make_shared<SettingsReader>(report, &secrets);
    sources.setting = [settings](SettingKey key) { return settings->Read(key); };
    sources.password_place = [settings] { return settings->PasswordPlace(); };
    sources.system_user = SystemLoginName;
    return sources;
}

ResolvedLogin ResolveLogin(const CommandLine& line, const LoginSources& sources) {
    LoginOptions given;  // lowest precedence first, so that each later source overrides
    ApplyEnvironment(given, sources);
    for (const Setting& setting : sources.option_files) ApplySetting(given, setting);
    for (const Setting& setting : line.login) ApplySetting(given, setting);
    KeepAskedTlsCheck(given, sources.option_files, line.login);

    ResolvedLogin login;
    login.origins = given.origins;
    login.server = IsLocal(given.host.value_or("")) ? "localhost" : *given.host;
    if (given.port) login.port = db::Port(static_cast<std::uint16_t>(*given.port));
    login.user = given.user.value_or("");
    if (login.user.empty()) {
        login.user = sources.system_user();
        login.origins["user"] = "system login name";
    }
    login.ask_password = given.ask_password;
    login.password = given.password.value_or("");
    login.database = given.database.value_or("");
    TakeStoredLogin(login, line, given, sources);
    login.connection = given.connection;
    login.jobs = given.jobs;
    ResolveTransport(login, line, given);
    return login;
}

}  // namespace kestrelmoor::cli
