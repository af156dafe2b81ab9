// SPDX-License-Identifier: MIT
#include "db/login.h"

#include <algorithm>
#include <charconv>
#include <string>

#include <mysql.h>

#include "db/database.h"

namespace kestrelmoor::db {

const char* DefaultSocketPath() {
    return MARIADB_UNIX_ADDR;
}

std::optional<Port> Port::Parse(std::string_view text) {
    unsigned number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    const bool digits_only =
        !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits_only || error != std::errc() || stop != end || number < 1 || number > 65535)
        return std::nullopt;
    return Port(static_cast<std::uint16_t>(number));
}

Port Port::FromText(std::string_view text) {
    if (text.empty()) return Port();
    if (const std::optional<Port> port = Parse(text)) return *port;
    Port refused;
    refused.refused_ = std::string(text);
    return refused;
}

std::uint16_t Port::Number() const {
    if (!refused_.empty()) {
        throw DatabaseError("PORT \"" + refused_ +
                            "\" is not a port number (a whole number from 1 to 65535)");
    }
    return number_;
}

std::string Port::Text() const {
    return refused_.empty() ? std::to_string(number_) : refused_;
}

}  // namespace kestrelmoor::db
