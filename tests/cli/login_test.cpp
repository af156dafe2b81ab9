// SPDX-License-Identifier: MIT
// Where each login value comes from: the command line over the option files over the environment over
// the settings store, which is taken whole or not at all; the password asked for only when so told, the
// transport as the client picks it, and every value reaching the connection exactly as given.
#include "cli/login/login.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "cli/login/local_socket.h"
#include "cli/login/print_login.h"

namespace kestrelmoor::cli {
namespace {

// The environment, the option files' settings and a settings store double that remembers which keys
// were read.
struct Sources {
    std::map<SettingKey, std::string> stored = {{SettingKey::Server, "stored-host"},
                                                {SettingKey::User, "stored-user"},
                                                {SettingKey::Password, "stored-pw"},
                                                {SettingKey::Database, "stored-db"},
                                                {SettingKey::Port, "3306"}};
    std::set<SettingKey> read;
    std::map<std::string, std::string> environment;
    std::vector<Setting> files;

    void File(const std::string& key, std::optional<std::string> value) {
        files.push_back({key, std::move(value), "/f.cnf", "/f.cnf:1: " + key});
    }

    ResolvedLogin Resolve(const std::vector<std::string>& args) {
        LoginSources sources;
        sources.environment = [this](const char* name) -> std::optional<std::string> {
            const auto found = environment.find(name);
            return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
        };
        sources.option_files = files;
        sources.setting = [this](SettingKey key) {
            read.insert(key);
            return stored.at(key);
        };
        sources.system_user = [] { return std::string("sys"); };
        return ResolveLogin(ParseCommandLine(args), sources);
    }
};

TEST(LoginTest, AFullCommandLineNeverReadsTheSettings) {
    Sources sources;
    sources.environment = {{"MYSQL_PWD", "env-pw"}, {"MYSQL_HOST", "env-host"}};
    const ResolvedLogin login = sources.Resolve({"-h", "h", "-u", "u", "-ppw", "-P", "1", "-D", "d"});
    EXPECT_EQ(login.server, "h");
    EXPECT_EQ(login.user, "u");
    EXPECT_EQ(login.password, "pw");
    EXPECT_EQ(login.port, db::Port(1));
    EXPECT_EQ(login.database, "d");
    EXPECT_TRUE(sources.read.empty());
}

TEST(LoginTest, EachValueFromTheFirstSourceThatGivesIt) {
    Sources sources;
    sources.File("host", "file-host");
    sources.File("user", "file-user");
    sources.File("socket", "/file.sock");
    sources.environment = {{"MYSQL_HOST", "env-host"},
                           {"MYSQL_TCP_PORT", "2002"},
                           {"MYSQL_UNIX_PORT", "/env.sock"},
                           {"MYSQL_PWD", "env-pw"}};
    const ResolvedLogin login = sources.Resolve({"-h", "cli-host", "--defaults-file=x"});
    EXPECT_EQ(login.server, "cli-host");
    EXPECT_EQ(login.port, db::Port(2002));
    EXPECT_EQ(login.user, "file-user");
    EXPECT_EQ(login.password, "env-pw");
    EXPECT_EQ(login.connection.socket, "/file.sock");
    EXPECT_EQ(login.database, "");  // another login than the stored one: none of it is taken
    EXPECT_EQ(sources.read, (std::set<SettingKey>{SettingKey::Server, SettingKey::User, SettingKey::Port}));

    std::ostringstream printed;
    PrintLogin(login, printed);
    EXPECT_EQ(printed.str(),
              "transport\tTCP to cli-host:2002\t(the host)\nhost\tcli-host\t(command line)\n"
              "port\t2002\t(MYSQL_TCP_PORT)\nuser\tfile-user\t(/f.cnf)\npassword\t********\t(MYSQL_PWD)\n"
              "database\t(empty)\t(default)\nsocket\t/file.sock\t(/f.cnf, not used: TCP is)\n"
              "compress\twhen reading ahead from a server far away, not on loopback\t(default)\n"
              "ssl\twhen the server offers it\t(default)\n");
}

// The stored password and database go only with the stored server, user and port.
TEST(LoginTest, TheStoredLoginIsTakenWholeOrNotAtAll) {
    struct Case {
        std::vector<std::string> args;
        std::string host, user, password, database;
    };
    const Case cases[] = {
        {{}, "stored-host", "stored-user", "stored-pw", "stored-db"},
        {{"-D", "d"}, "stored-host", "stored-user", "stored-pw", "d"},
        {{"-h", "stored-host", "-u", "stored-user", "-P", "3306"},
         "stored-host",
         "stored-user",
         "stored-pw",
         "stored-db"},
        {{"-u", "bob"}, "localhost", "bob", "", ""},
        {{"-h", "stored-host", "-u", "stored-user", "-P", "3307"}, "stored-host", "stored-user", "", ""},
        {{"-h", "stored-host"}, "stored-host", "sys", "", ""},
        // A socket or protocol typed names where to connect; --no-defaults takes nothing remembered.
        {{"-S", "/typed.sock"}, "localhost", "sys", "", ""},
        {{"--protocol=tcp"}, "localhost", "sys", "", ""},
        {{"--no-defaults"}, "localhost", "sys", "", ""},
    };
    for (const Case& c : cases) {
        Sources sources;
        const ResolvedLogin login = sources.Resolve(c.args);
        const std::string args = ::testing::PrintToString(c.args);
        EXPECT_EQ(login.server, c.host) << args;
        EXPECT_EQ(login.user, c.user) << args;
        EXPECT_EQ(login.password, c.password) << args;
        EXPECT_EQ(login.database, c.database) << args;
    }
    Sources nameless;  // a stored login without a user is the system login name's
    nameless.stored[SettingKey::User] = "";
    EXPECT_EQ(nameless.Resolve({"-h", "stored-host"}).password, "stored-pw");
}

TEST(PrintLoginTest, NamesTheUserSentAndTheTransport) {
    Sources sources;
    std::ostringstream socket;
    PrintLogin(sources.Resolve({"--no-defaults", "-h", "localhost", "-ppw"}), socket);
    EXPECT_EQ(socket.str().substr(0, socket.str().find("password")),
              "transport\tsocket " + std::string(db::DefaultSocketPath()) +
                  "\t(the host)\nhost\tlocalhost\t(command line)\nport\t3306\t(default)\n"
                  "user\tsys\t(system login name)\n");
    std::ostringstream tcp;
    PrintLogin(sources.Resolve({"-h", "localhost", "-S", "/s.sock", "-P", "3307", "-u", "ann"}), tcp);
    EXPECT_EQ(tcp.str().substr(0, tcp.str().find('\n')), "transport\tTCP to localhost:3307\t(command line)");
    // A value that goes nowhere says so; a remembered value is the stored login's, even the usual port.
    EXPECT_NE(tcp.str().find("socket\t/s.sock\t(command line, not used: TCP is)\n"), std::string::npos)
        << tcp.str();
    std::ostringstream stored;
    sources.stored[SettingKey::Server] = "localhost";
    PrintLogin(sources.Resolve({}), stored);
    EXPECT_NE(stored.str().find("port\t3306\t(stored login, not used: the socket is)\n"), std::string::npos)
        << stored.str();
}

// One check of a port's text: the window's box, the command line and the stored login take the same.
TEST(PortTextTest, EverySourceTakesTheSameTexts) {
    for (const std::string text : {"1", "3306", "007", "65535", "0", "65536", "+1", "-1", " 1", "1 ", "0x10",
                                   "3e3", "99999999999999999999"}) {
        const bool port = db::Port::Parse(text).has_value();
        bool box = true;
        try {
            db::Port::FromText(text).Number();
        } catch (const std::exception&) {
            box = false;
        }
        EXPECT_EQ(box, port) << text;
        LoginOptions line;
        bool taken = true;
        try {
            ApplySetting(line, {"port", text, "command line", "--port"});
        } catch (const UsageError&) {
            taken = false;
        }
        EXPECT_EQ(taken, port) << text;
        Sources stored;
        stored.stored[SettingKey::Port] = text;
        bool used = true;
        try {
            stored.Resolve({});
        } catch (const std::runtime_error&) {
            used = false;
        }
        EXPECT_EQ(used, port) << text;
    }
}

// The window reaches "localhost" through the socket that the command line would take with the same
// option files and environment: a file's socket over MYSQL_UNIX_PORT, which is taken without one.
TEST(LocalSocketTest, TheWindowFindsTheSocketAsTheCommandLineDoes) {
    const std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("kestrel-home-" + std::to_string(::getpid()));
    std::filesystem::create_directories(home);
    const std::string cnf = (home / ".my.cnf").string();
    std::ofstream(cnf) << "[client]\nsocket = /file.sock\n";
    ::chmod(cnf.c_str(), 0600);
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    ::setenv("MYSQL_UNIX_PORT", "/env.sock", 1);
    const auto command_line_socket = [] {
        const CommandLine line = ParseCommandLine({"-h", "localhost", "-u", "ann", "-pPw", "-D", "d"});
        return ResolveLogin(line, RealLoginSources(line, [](const std::string&) {})).connection.socket;
    };
    const auto quiet = [](const std::string&) {};
    EXPECT_EQ(LocalSocket(quiet), "/file.sock");
    EXPECT_EQ(LocalSocket(quiet), command_line_socket());
    ::chmod(cnf.c_str(), 0666);  // ignored now, as the client ignores it
    EXPECT_EQ(LocalSocket(quiet), command_line_socket());
    EXPECT_NE(LocalSocket(quiet), "/file.sock");
    std::filesystem::remove_all(home);
    ::unsetenv("MYSQL_UNIX_PORT");
}

// A check of the server asked for from any source is never dropped by a skip-ssl; only a --skip-ssl
// typed after it is refused, naming both.
TEST(LoginTest, AnAskedTlsCheckTurnsTlsOnOrRefusesALaterSkipSsl) {
    const auto tls = [](const std::vector<std::string>& args, std::vector<std::string> file = {}) {
        Sources sources;
        for (const std::string& key : file) sources.File(key, std::nullopt);
        return sources.Resolve(args).connection;
    };
    const auto checked = [](const db::ConnectionOptions& c) {
        return c.tls != db::TlsUse::Off && c.Verifies();
    };
    EXPECT_TRUE(checked(tls({"--ssl-ca=ca.pem"}, {"skip-ssl"})));
    EXPECT_TRUE(checked(tls({"--ssl-verify-server-cert"}, {"skip-ssl"})));
    EXPECT_TRUE(checked(tls({"--skip-ssl", "--ssl-capath=cas"})));
    EXPECT_TRUE(checked(tls({}, {"ssl-verify-server-cert", "skip-ssl"})));
    EXPECT_EQ(tls({"--skip-ssl"}).tls, db::TlsUse::Off);
    EXPECT_EQ(tls({"--skip-ssl"}, {"ssl-verify-server-cert", "skip-ssl-verify-server-cert"}).tls,
              db::TlsUse::Off);
    const auto refusal = [&](const std::vector<std::string>& args, std::vector<std::string> file = {}) {
        try {
            tls(args, std::move(file));
        } catch (const UsageError& e) {
            return std::string(e.what());
        }
        return std::string("no usage error");
    };
    EXPECT_EQ(refusal({"--ssl-ca=ca.pem", "--skip-ssl"}),
              "--skip-ssl: cannot go with --ssl-ca, which asks for the server's certificate to be checked "
              "over TLS");
    EXPECT_EQ(refusal({"--skip-ssl"}, {"ssl-verify-server-cert"}),
              "--skip-ssl: cannot go with /f.cnf:1: ssl-verify-server-cert, which asks for the server's "
              "certificate to be checked over TLS");
    EXPECT_EQ(refusal({"--ssl-verify-server-cert", "--skip-ssl", "--ssl-ca=x", "--skip-ssl"}).substr(0, 29),
              "--skip-ssl: cannot go with --");
}

TEST(PrintLoginTest, ShowsControlCharactersEscaped) {
    Sources sources;
    sources.files.push_back({"database", "shop\x1b]0;X\a\xc2\x9b", "/f\x1b[2J.cnf", "/f.cnf:1: database"});
    std::ostringstream printed;
    PrintLogin(sources.Resolve({"-h", "h", "--skip-ssl", "--ssl-ca=ca.pem"}), printed);
    EXPECT_NE(printed.str().find("database\tshop\\x1b]0;X\\a\\u009b\t(/f\\x1b[2J.cnf)\n"), std::string::npos)
        << printed.str();
    EXPECT_NE(printed.str().find("ssl\trequired, the server's certificate checked\t(command line)\n"),
              std::string::npos);
}

struct PasswordCase {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> mysql_pwd;
    std::optional<std::optional<std::string>> in_file;  // a "password" line, with or without value
    std::string expected;                               // "?" when it is to be asked for
};

void PrintTo(const PasswordCase& c, std::ostream* out) {
    *out << c.name;
}

class PasswordTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordTest, ComesFromTheRightSource) {
    Sources sources;
    if (GetParam().mysql_pwd) sources.environment["MYSQL_PWD"] = *GetParam().mysql_pwd;
    if (GetParam().in_file) sources.File("password", *GetParam().in_file);
    const ResolvedLogin login = sources.Resolve(GetParam().args);
    EXPECT_EQ(login.ask_password ? "?" : login.password, GetParam().expected);
    EXPECT_EQ(sources.read.count(SettingKey::Password), GetParam().expected == "stored-pw" ? 1u : 0u);
}

const std::optional<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Sources, PasswordTest,
    ::testing::Values(PasswordCase{"OptionBeatsEnvironment", {"-popt"}, "env-pw", "file-pw", "opt"},
                      PasswordCase{"EmptyOptionBeatsEnvironment", {"--password="}, "env-pw", kNone, ""},
                      PasswordCase{"AskingBeatsEnvironment", {"-p"}, "env-pw", kNone, "?"},
                      PasswordCase{"FileBeatsEnvironment", {}, "env-pw", "file-pw", "file-pw"},
                      PasswordCase{"EmptyEnvironmentIsAPassword", {}, "", std::nullopt, ""},
                      PasswordCase{"FileBeatsSettings", {}, kNone, "file-pw", "file-pw"},
                      PasswordCase{"BarePasswordLineAsks", {}, kNone, kNone, "?"},
                      PasswordCase{"OptionBeatsAskingFile", {"--password=x"}, kNone, kNone, "x"},
                      PasswordCase{"SettingsLast", {}, kNone, std::nullopt, "stored-pw"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoginTest, BadPortsOutsideTheCommandLine) {
    Sources environment;
    environment.environment["MYSQL_TCP_PORT"] = "33o6";
    EXPECT_THROW(environment.Resolve({}), UsageError);
    Sources stored;
    stored.stored[SettingKey::Port] = "abc";
    try {
        stored.Resolve({});
        FAIL() << "no failure";
    } catch (const UsageError&) {
        FAIL() << "a stored value is no usage error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "the stored login's port: 'abc' is not a port number (1-65535)");
    }
    EXPECT_EQ(stored.Resolve({"-h", "h", "-u", "u", "-P", "1"}).password, "") << "not used, so no failure";
    stored.stored[SettingKey::Port] = "";
    EXPECT_EQ(stored.Resolve({}).port, db::Port(3306));
}

}  // namespace
}  // namespace kestrelmoor::cli
