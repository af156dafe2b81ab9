// SPDX-License-Identifier: MIT
#include "cli/print_login.h"

#include <string>

namespace kestrelmoor::cli {
namespace {

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

std::string PasswordShown(const Login& login) {
    if (login.ask_password) return "(asked on the terminal)";
    return login.password.empty() ? "(none)" : "********";
}

const char* TlsShown(db::TlsUse mode) {
    return mode == db::TlsUse::Off ? "off" : "when the server offers it";
}

std::string TransportShown(const Login& login) {
    if (login.connection.transport == db::Transport::Tcp)
        return "TCP to " + login.host + ":" + std::to_string(login.port);
    return "socket " + login.connection.socket.value_or(db::DefaultSocketPath());
}

}  // namespace

void PrintLogin(const Login& login, std::ostream& out) {
    const auto line = [&](const char* name, const std::string& value) {
        const auto origin = login.origins.find(std::string_view(name));
        out << name << '\t' << (value.empty() ? "(empty)" : value) << "\t("
            << (origin == login.origins.end() ? "default" : origin->second) << ")\n";
    };
    // Values that were never given are left out, except those the login always has.
    const auto given = [&](const char* name) { return login.origins.contains(std::string_view(name)); };
    const auto optional_line = [&](const char* name, const std::optional<std::string>& value) {
        if (value) line(name, *value);
    };
    const db::ConnectionOptions& connection = login.connection;
    line("transport", TransportShown(login));
    line("host", login.host);
    line("port", std::to_string(login.port));
    line("user", login.user);
    line("password", PasswordShown(login));
    line("database", login.database);
    optional_line("socket", connection.socket);
    if (given("compress")) line("compress", OnOff(connection.compress));
    if (connection.connect_timeout) line("connect-timeout", std::to_string(*connection.connect_timeout));
    if (connection.read_timeout) line("read-timeout", std::to_string(*connection.read_timeout));
    line("ssl", TlsShown(connection.tls));
    optional_line("ssl-ca", connection.tls_ca);
    optional_line("ssl-capath", connection.tls_capath);
    optional_line("ssl-cert", connection.tls_cert);
    optional_line("ssl-key", connection.tls_key);
    if (given("ssl-verify-server-cert")) line("ssl-verify-server-cert", OnOff(connection.verify_server_cert));
}

}  // namespace kestrelmoor::cli
