// SPDX-License-Identifier: MIT
// Where each login value comes from: the command line over the environment over the option files over
// the settings store, the password asked for only when so told, and every value reaching the
// connection exactly as given.
#include "cli/login.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "cli/print_login.h"

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

    Login Resolve(const std::vector<std::string>& args) {
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
        return ResolveLogin(ParseCommandLine(args), sources);
    }
};

TEST(LoginTest, AFullCommandLineNeverReadsTheSettings) {
    Sources sources;
    sources.environment = {{"MYSQL_PWD", "env-pw"}, {"MYSQL_HOST", "env-host"}};
    const Login login = sources.Resolve({"-h", "h", "-u", "u", "-ppw", "-P", "1", "-D", "d"});
    EXPECT_EQ(ForConnection(login).server, "h");
    EXPECT_EQ(ForConnection(login).user, "u");
    EXPECT_EQ(ForConnection(login).password, "pw");
    EXPECT_EQ(ForConnection(login).port, "1");
    EXPECT_EQ(ForConnection(login).database, "d");
    EXPECT_TRUE(sources.read.empty());
}

TEST(LoginTest, EachValueFromTheFirstSourceThatGivesIt) {
    Sources sources;
    sources.File("host", "file-host");
    sources.File("port", "1001");
    sources.File("user", "file-user");
    sources.File("socket", "/file.sock");
    sources.environment = {{"MYSQL_HOST", "env-host"}, {"MYSQL_TCP_PORT", "2002"}, {"MYSQL_UNIX_PORT", ""}};
    const Login login = sources.Resolve({"-h", "cli-host", "--defaults-file=x"});
    EXPECT_EQ(login.host, "cli-host");
    EXPECT_EQ(login.port, 2002);
    EXPECT_EQ(login.user, "file-user");
    EXPECT_EQ(login.connection.socket, "/file.sock");  // an empty variable counts as unset
    EXPECT_EQ(login.database, "stored-db");
    EXPECT_EQ(sources.read, (std::set<SettingKey>{SettingKey::Password, SettingKey::Database}));

    std::ostringstream printed;
    PrintLogin(login, printed);
    EXPECT_EQ(printed.str(),
              "host\tcli-host\t(command line)\nport\t2002\t(MYSQL_TCP_PORT)\nuser\tfile-user\t(/f.cnf)\n"
              "password\t********\t(stored login)\ndatabase\tstored-db\t(stored login)\n"
              "socket\t/file.sock\t(/f.cnf)\nssl\twhen the server offers it\t(default)\n");
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
    const Login login = sources.Resolve(GetParam().args);
    EXPECT_EQ(login.ask_password ? "?" : login.password, GetParam().expected);
    EXPECT_EQ(sources.read.count(SettingKey::Password), GetParam().expected == "stored-pw" ? 1u : 0u);
}

const std::optional<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Sources, PasswordTest,
    ::testing::Values(PasswordCase{"OptionBeatsEnvironment", {"-popt"}, "env-pw", "file-pw", "opt"},
                      PasswordCase{"EmptyOptionBeatsEnvironment", {"--password="}, "env-pw", kNone, ""},
                      PasswordCase{"AskingBeatsEnvironment", {"-p"}, "env-pw", kNone, "?"},
                      PasswordCase{"EnvironmentBeatsFile", {}, "env-pw", "file-pw", "env-pw"},
                      PasswordCase{"EmptyEnvironmentIsAPassword", {}, "", kNone, ""},
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
    stored.stored[SettingKey::Port] = "";
    EXPECT_EQ(stored.Resolve({}).port, 3306);
}

}  // namespace
}  // namespace kestrelmoor::cli
