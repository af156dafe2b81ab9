// SPDX-License-Identifier: MIT
#include "cli/login/print_login.h"

#include <string>

#include "cli/output/terminal_text.h"

namespace kestrelmoor::cli {
namespace {

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

std::string PasswordShown(const ResolvedLogin& login) {
    if (login.ask_password) return "(asked on the terminal)";
    return login.password.empty() ? "(none)" : "********";
}

const char* TlsShown(const db::ConnectionOptions& connection) {
    if (connection.Verifies()) return "required, the server's certificate checked";
    return connection.tls == db::TlsUse::Off ? "off" : "when the server offers it";
}

std::string TransportShown(const ResolvedLogin& login) {
    if (login.connection.transport == db::Transport::Tcp)
        return "TCP to " + login.server + ":" + login.port.Text();
    return "socket " + login.connection.socket.value_or(db::DefaultSocketPath());
}

}  // namespace

void PrintLogin(const ResolvedLogin& login, std::ostream& out) {
    const bool tcp = login.connection.transport == db::Transport::Tcp;
    const auto line = [&](const char* name, const std::string& value) {
        const auto origin = login.origins.find(std::string_view(name));
        // A port given for the socket and a socket given for TCP go nowhere: said so, so that a value
        // typed in vain is seen.
        const std::string_view key(name);
        const bool given = origin != login.origins.end();
        const char* unused = given && key == "port" && !tcp    ? ", not used: the socket is"
                             : given && key == "socket" && tcp ? ", not used: TCP is"
                                                               : "";
        // Values and file names are shown as messages are: their control characters are not obeyed.
        out << name << '\t' << (value.empty() ? "(empty)" : ShowControls(value)) << "\t("
            << (origin == login.origins.end() ? "default" : ShowControls(origin->second)) << unused << ")\n";
    };
    // Values that were never given are left out, except those the login always has.
    const auto given = [&](const char* name) { return login.origins.contains(std::string_view(name)); };
    const auto optional_line = [&](const char* name, const std::optional<std::string>& value) {
        if (value) line(name, *value);
    };
    const db::ConnectionOptions& connection = login.connection;
    line("transport", TransportShown(login));
    line("host", login.server);
    line("port", login.port.Text());
    line("user", login.user);
    line("password", PasswordShown(login));
    line("database", login.database);
    optional_line("socket", connection.socket);
    line("compress", connection.compress ? OnOff(*connection.compress)
                                         : "when reading ahead from a server far away, not on loopback");
    if (connection.connect_timeout) line("connect-timeout", std::to_string(*connection.connect_timeout));
    if (connection.read_timeout) line("read-timeout", std::to_string(*connection.read_timeout));
    line("ssl", TlsShown(connection));
    optional_line("ssl-ca", connection.tls_ca);
    optional_line("ssl-capath", connection.tls_capath);
    optional_line("ssl-cert", connection.tls_cert);
    optional_line("ssl-key", connection.tls_key);
    if (given("ssl-verify-server-cert")) line("ssl-verify-server-cert", OnOff(connection.verify_server_cert));
    if (login.jobs) line("jobs", std::to_string(*login.jobs));
}

}  // namespace kestrelmoor::cli
