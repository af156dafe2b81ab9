// SPDX-License-Identifier: MIT
#include "db/login.h"

#include <algorithm>
#include <charconv>

#include <mysql.h>

#include "db/database.h"

namespace kestrelmoor::db {

const char* DefaultSocketPath() {
    return MARIADB_UNIX_ADDR;
}

std::uint16_t PortNumber(std::string_view text) {
    if (text.empty()) return kDefaultPort;
    unsigned number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    const bool digits_only =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits_only || error != std::errc() || stop != end || number < 1 || number > 65535) {
        throw DatabaseError("PORT \"" + std::string(text) +
                            "\" is not a port number (a whole number from 1 to 65535)");
    }
    return static_cast<std::uint16_t>(number);
}

}  // namespace kestrelmoor::db
