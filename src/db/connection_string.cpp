#include "db/connection_string.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "db/database.h"

namespace kestrelmoor::db {
namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// One attribute's value starting at `pos` (just after "="); leaves `pos` on the ";" that ends it or at
// the end of the text.
std::string ReadValue(std::string_view text, std::size_t& pos) {
    if (pos < text.size() && text[pos] == '{') {
        std::string value;
        ++pos;
        while (true) {
            if (pos >= text.size()) throw DatabaseError("Connection string: a value in braces is not closed");
            if (text[pos] == '}') {
                if (pos + 1 < text.size() && text[pos + 1] == '}') {
                    value += '}';
                    pos += 2;
                    continue;
                }
                ++pos;
                break;
            }
            value += text[pos++];
        }
        // Anything between the closing brace and the next ";" is not part of the value.
        const auto end = text.find(';', pos);
        pos = end == std::string_view::npos ? text.size() : end;
        return value;
    }
    const auto end = text.find(';', pos);
    const auto stop = end == std::string_view::npos ? text.size() : end;
    std::string value(text.substr(pos, stop - pos));
    pos = stop;
    return value;
}

std::uint16_t ReadPort(std::string_view value) {
    if (value.empty()) return kDefaultPort;
    unsigned number = 0;
    const auto* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    const bool digits_only =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits_only || error != std::errc() || stop != end || number < 1 || number > 65535) {
        throw DatabaseError("Connection string: PORT \"" + std::string(value) +
                            "\" is not a port number (a whole number from 1 to 65535)");
    }
    return static_cast<std::uint16_t>(number);
}

}  // namespace

ConnectionSettings ReadConnectionString(std::string_view text) {
    std::optional<std::string> driver, server, user, password, database, port;
    auto keep_first = [](std::optional<std::string>& slot, std::string&& value) {
        if (!slot) slot = std::move(value);
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto piece_end = text.find(';', pos);
        const auto equals = text.find('=', pos);
        if (equals == std::string_view::npos || (piece_end != std::string_view::npos && equals > piece_end)) {
            // A piece without "=" carries no attribute.
            if (piece_end == std::string_view::npos) break;
            pos = piece_end + 1;
            continue;
        }
        const auto key = TrimBlanks(text.substr(pos, equals - pos));
        pos = equals + 1;
        std::string value = ReadValue(text, pos);
        if (pos < text.size()) ++pos;  // the ";"

        if (EqualsIgnoringCase(key, "DRIVER")) {
            keep_first(driver, std::move(value));
        } else if (EqualsIgnoringCase(key, "SERVER")) {
            keep_first(server, std::move(value));
        } else if (EqualsIgnoringCase(key, "USER") || EqualsIgnoringCase(key, "UID")) {
            keep_first(user, std::move(value));
        } else if (EqualsIgnoringCase(key, "PASSWORD") || EqualsIgnoringCase(key, "PWD")) {
            keep_first(password, std::move(value));
        } else if (EqualsIgnoringCase(key, "DATABASE") || EqualsIgnoringCase(key, "DB")) {
            keep_first(database, std::move(value));
        } else if (EqualsIgnoringCase(key, "PORT")) {
            keep_first(port, std::move(value));
        }
    }

    if (driver && !EqualsIgnoringCase(*driver, kDriverName)) {
        throw DatabaseError("Connection string: DRIVER \"" + *driver + "\" is not supported; only {" +
                            std::string(kDriverName) + "} is");
    }
    ConnectionSettings settings;
    settings.server = server.value_or("");
    settings.user = user.value_or("");
    settings.password = password.value_or("");
    settings.database = database.value_or("");
    settings.port = ReadPort(port.value_or(""));
    return settings;
}

}  // namespace kestrelmoor::db
