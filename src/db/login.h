// SPDX-License-Identifier: MIT
// The MySQL login, one type from the connection window's boxes and the command line's sources to the
// client library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrelmoor::db {

inline constexpr std::uint16_t kDefaultPort = 3306;

// The port, read once from where it was given. The port box takes any text: one that is no port number
// is kept and refused, naming it, only when a connection is opened with it.
class Port {
  public:
    Port() = default;  // kDefaultPort
    explicit Port(std::uint16_t number) : number_(number) {}
    // The one check of a port's text, for every source (the port box, the command line, option files,
    // MYSQL_TCP_PORT, the stored login): a whole number from 1 to 65535 in decimal digits alone.
    static std::optional<Port> Parse(std::string_view text);
    // The box's text: empty gives kDefaultPort, a port number that number, other text is kept and refused.
    static Port FromText(std::string_view text);

    // Throws DatabaseError naming the text when it was no port number.
    std::uint16_t Number() const;
    // The number's digits, or the text that is no port number.
    std::string Text() const;
    friend bool operator==(const Port&, const Port&) = default;

  private:
    std::uint16_t number_ = kDefaultPort;
    std::string refused_;  // the text that is no port number; empty when number_ holds
};

// Four free-text values, each handed to the client library exactly as given: no trimming, no quoting.
struct Login {
    std::string server;  // empty or "localhost": the local server, through its Unix socket on port 3306
    std::string user;
    std::string password;
    std::string database;  // empty: no default database
    Port port;
};

// The Unix socket that the client library connects to when none is named.
const char* DefaultSocketPath();

}  // namespace kestrelmoor::db
