#include "cli/login.h"

namespace kestrelmoor::cli {
db::Login ResolveLogin(const DatabaseOptions& options, const LoginSources& sources) {
    const auto pick = [&](const std::optional<std::string>& given, SettingKey key) {
        return given ? *given : sources.setting(key);
    };
    db::Login profile;
    profile.server = pick(options.host, SettingKey::Server);
    profile.user = pick(options.user, SettingKey::User);
    if (options.password) {
        profile.password = *options.password;
    } else if (options.prompt_password) {
        profile.password = sources.prompt_password();
    } else if (sources.mysql_pwd) {
        profile.password = *sources.mysql_pwd;
    } else {
        profile.password = sources.setting(SettingKey::Password);
    }
    profile.database = pick(options.database, SettingKey::Database);
    profile.port = pick(options.port, SettingKey::Port);
    return profile;
}

}  // namespace kestrelmoor::cli
