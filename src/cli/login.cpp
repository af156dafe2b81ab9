// SPDX-License-Identifier: MIT
#include "cli/login.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "cli/option_files.h"
#include "cli/settings_reader.h"

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

int StoredPort(const std::string& text) {
    if (text.empty()) return 3306;
    LoginOptions checked;
    try {
        ApplySetting(checked, {"port", text, "", "the stored login's port"});
    } catch (const UsageError& e) {
        throw std::runtime_error(e.what());  // not the command line's fault: a failure, not a usage error
    }
    return *checked.port;
}

}  // namespace

LoginSources RealLoginSources(const CommandLine& line,
                              const std::function<void(const std::string&)>& report) {
    LoginSources sources;
    sources.environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    sources.option_files = ReadOptionFiles(OptionFilesFor(line.option_files, sources.environment("HOME")));
    // The store is opened only when a value is missing, so a full login never touches it.
    auto settings = std::make_shared<SettingsReader>(report);
    sources.setting = [settings](SettingKey key) { return settings->Read(key); };
    return sources;
}

Login ResolveLogin(const CommandLine& line, const LoginSources& sources) {
    LoginOptions given;  // lowest precedence first, so that each later source overrides
    for (const Setting& setting : sources.option_files) ApplySetting(given, setting);
    ApplyEnvironment(given, sources);
    for (const Setting& setting : line.login) ApplySetting(given, setting);

    Login login;
    login.origins = given.origins;
    const auto pick = [&](const std::optional<std::string>& value, SettingKey key, const char* name) {
        if (value) return *value;
        std::string stored = sources.setting(key);
        login.origins[name] = stored == FieldOf(key).fallback ? "default" : "stored login";
        return stored;
    };
    login.host = pick(given.host, SettingKey::Server, "host");
    login.user = pick(given.user, SettingKey::User, "user");
    login.ask_password = given.ask_password;
    if (!given.ask_password) login.password = pick(given.password, SettingKey::Password, "password");
    login.database = pick(given.database, SettingKey::Database, "database");
    login.port = given.port ? *given.port : StoredPort(pick(std::nullopt, SettingKey::Port, "port"));
    login.connection = given.connection;
    return login;
}

db::Login ForConnection(const Login& login) {
    return {login.host, login.user, login.password, login.database, std::to_string(login.port)};
}

}  // namespace kestrelmoor::cli
