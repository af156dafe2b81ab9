// SPDX-License-Identifier: MIT
#include "cli/login/login_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <vector>

#include "cli/usage_error.h"
#include "common/ascii.h"
#include "core/extraction_run.h"
#include "db/login.h"

namespace kestrelmoor::cli {
namespace {

enum class Kind { Text, Password, Port, Seconds, Jobs, Protocol, Flag };

using TextField = std::optional<std::string>& (*)(LoginOptions&);
using NumberField = std::optional<int>& (*)(LoginOptions&);

struct Key {
    std::string_view name;
    Kind kind;
    TextField text = nullptr;
    NumberField number = nullptr;
};

// clang-format off
// Where each key's value goes.
std::optional<std::string>& Host(LoginOptions& o) { return o.host; }
std::optional<std::string>& User(LoginOptions& o) { return o.user; }
std::optional<std::string>& Database(LoginOptions& o) { return o.database; }
std::optional<int>& Port(LoginOptions& o) { return o.port; }
std::optional<std::string>& Socket(LoginOptions& o) { return o.connection.socket; }
std::optional<int>& ConnectTimeout(LoginOptions& o) { return o.connection.connect_timeout; }
std::optional<int>& ReadTimeout(LoginOptions& o) { return o.connection.read_timeout; }
std::optional<int>& Jobs(LoginOptions& o) { return o.jobs; }
std::optional<std::string>& TlsCa(LoginOptions& o) { return o.connection.tls_ca; }
std::optional<std::string>& TlsCapath(LoginOptions& o) { return o.connection.tls_capath; }
std::optional<std::string>& TlsCert(LoginOptions& o) { return o.connection.tls_cert; }
std::optional<std::string>& TlsKey(LoginOptions& o) { return o.connection.tls_key; }

const std::array<Key, 17> kKeys = {{
    {"host",                   Kind::Text,     Host},
    {"user",                   Kind::Text,     User},
    {"password",               Kind::Password},
    {"database",               Kind::Text,     Database},
    {"port",                   Kind::Port,     nullptr, Port},
    {"socket",                 Kind::Text,     Socket},
    {"protocol",               Kind::Protocol},
    {"compress",               Kind::Flag},
    {"connect-timeout",        Kind::Seconds,  nullptr, ConnectTimeout},
    {"read-timeout",           Kind::Seconds,  nullptr, ReadTimeout},
    {"ssl",                    Kind::Flag},
    {"ssl-ca",                 Kind::Text,     TlsCa},
    {"ssl-capath",             Kind::Text,     TlsCapath},
    {"ssl-cert",               Kind::Text,     TlsCert},
    {"ssl-key",                Kind::Text,     TlsKey},
    {"ssl-verify-server-cert", Kind::Flag},
    {"jobs",                   Kind::Jobs,     nullptr, Jobs},
}};
// clang-format on

// The key as the option files allow it to be written: "_" for "-", a "loose-" prefix (which only
// tells other programs to pass over a key they do not know) and "skip-" for a flag set off.
struct Canonical {
    std::string name;
    bool skip = false;
};

Canonical Canonicalize(std::string_view key) {
    std::string name(key);
    std::replace(name.begin(), name.end(), '_', '-');
    if (name.starts_with("loose-")) name.erase(0, 6);
    if (name.starts_with("skip-")) return {name.substr(5), true};
    return {name, false};
}

const Key* Find(const Canonical& key) {
    for (const Key& k : kKeys) {
        if (k.name == key.name) return (key.skip && k.kind != Kind::Flag) ? nullptr : &k;
    }
    return nullptr;
}

// The keys that `key` begins, as the client matches an abbreviated name ("pass" for "password").
std::vector<const Key*> Beginning(const Canonical& key) {
    std::vector<const Key*> found;
    for (const Key& k : kKeys) {
        if (!key.name.empty() && k.name.starts_with(key.name) && (!key.skip || k.kind == Kind::Flag))
            found.push_back(&k);
    }
    return found;
}

[[noreturn]] void Refuse(const Setting& setting, const std::string& why) {
    throw UsageError(setting.spelled + ": " + why);
}

std::optional<long long> Digits(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int Number(const Setting& setting, long long low, long long high, const std::string& what) {
    const std::optional<long long> value = Digits(*setting.value);
    if (!value || *value < low || *value > high) Refuse(setting, "'" + *setting.value + "' is not " + what);
    return static_cast<int>(*value);
}

bool Lowered(const std::optional<std::string>& value, std::initializer_list<std::string_view> words) {
    const std::string lower = AsciiLowered(value.value_or(""));
    return std::find(words.begin(), words.end(), lower) != words.end();
}

bool FlagValue(const Setting& setting) {
    if (!setting.value || Lowered(setting.value, {"1", "true", "on"})) return true;
    if (Lowered(setting.value, {"0", "false", "off"})) return false;
    Refuse(setting, "'" + *setting.value + "' is not 0 or 1");
}

void SetFlag(LoginOptions& login, std::string_view name, bool on) {
    if (name == "compress") login.connection.compress = on;
    if (name == "ssl") login.connection.tls = on ? db::TlsUse::WhenOffered : db::TlsUse::Off;
    if (name == "ssl-verify-server-cert") login.connection.verify_server_cert = on;
}

void SetValue(LoginOptions& login, const Key& key, const Setting& setting) {
    if (!setting.value) Refuse(setting, "needs a value");
    const std::string& value = *setting.value;
    switch (key.kind) {
        case Kind::Port: {
            const std::optional<db::Port> port = db::Port::Parse(value);
            if (!port) Refuse(setting, "'" + value + "' is not a port number (1-65535)");
            key.number(login) = port->Number();
            break;
        }
        case Kind::Seconds:
            key.number(login) = Number(setting, 1, INT_MAX, "a number of seconds (1 or more)");
            break;
        case Kind::Jobs:
            key.number(login) =
                Number(setting, 1, ExtractionRun::kMostConnections,
                       "a number of connections (1-" + std::to_string(ExtractionRun::kMostConnections) + ")");
            break;
        case Kind::Protocol:
            if (Lowered(value, {"tcp"})) {
                login.connection.transport = db::Transport::Tcp;
            } else if (Lowered(value, {"socket"})) {
                login.connection.transport = db::Transport::Socket;
            } else {
                Refuse(setting, "'" + value + "' is not a protocol (tcp or socket)");
            }
            break;
        default:
            key.text(login) = value;
    }
}

}  // namespace

bool IsLoginKey(std::string_view key) {
    return Find(Canonicalize(key)) != nullptr;
}

std::optional<FullKey> FullLoginKey(const Setting& setting) {
    const Canonical canonical = Canonicalize(setting.key);
    const Key* key = Find(canonical);
    const bool abbreviated = key == nullptr;
    if (abbreviated) {
        const std::vector<const Key*> found = Beginning(canonical);
        if (found.empty()) return std::nullopt;
        if (found.size() > 1) {
            std::string names;
            for (const Key* k : found) names += (names.empty() ? "" : ", ") + std::string(k->name);
            Refuse(setting, "ambiguous option (" + names + ")");
        }
        key = found.front();
    }
    return FullKey{(canonical.skip ? "skip-" : "") + std::string(key->name), abbreviated};
}

void ApplySetting(LoginOptions& login, const Setting& setting) {
    const Canonical canonical = Canonicalize(setting.key);
    const Key* key = Find(canonical);
    if (!key) Refuse(setting, "unknown option");
    if (key->kind == Kind::Password) {
        // Without a value the password is asked for, as the client does; the value is never quoted.
        login.ask_password = !setting.value;
        login.password = setting.value;
    } else if (key->kind == Kind::Flag) {
        SetFlag(login, key->name, FlagValue(setting) != canonical.skip);
    } else {
        SetValue(login, *key, setting);
    }
    login.origins.insert_or_assign(std::string(key->name), setting.origin);
}

}  // namespace kestrelmoor::cli
