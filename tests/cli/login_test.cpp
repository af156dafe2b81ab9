// Where each login value comes from (command line, terminal, $MYSQL_PWD, settings store), and that
// every value reaches the connection exactly as given.
#include "cli/login.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kestrelmoor::cli {
namespace {

// A settings store double that remembers which keys were read.
struct Sources {
    std::map<SettingKey, std::string> stored = {{SettingKey::Server, "stored-host"},
                                                {SettingKey::User, "stored-user"},
                                                {SettingKey::Password, "stored-pw"},
                                                {SettingKey::Database, "stored-db"},
                                                {SettingKey::Port, "3306"}};
    std::set<SettingKey> read;
    int prompts = 0;
    std::optional<std::string> mysql_pwd;

    LoginSources Get() {
        LoginSources sources;
        sources.mysql_pwd = mysql_pwd;
        sources.setting = [this](SettingKey key) {
            read.insert(key);
            return stored.at(key);
        };
        sources.prompt_password = [this] {
            ++prompts;
            return std::string("typed-pw");
        };
        return sources;
    }
};

TEST(LoginTest, AFullCommandLineNeverReadsTheSettings) {
    Sources sources;
    sources.mysql_pwd = "env-pw";
    const db::Login profile = ResolveLogin(
        ParseDatabaseOptions({"-h", "h", "-u", "u", "-ppw", "-P", "1", "-D", "d"}), sources.Get());
    EXPECT_EQ(profile.server, "h");
    EXPECT_EQ(profile.user, "u");
    EXPECT_EQ(profile.password, "pw");
    EXPECT_EQ(profile.port, "1");
    EXPECT_EQ(profile.database, "d");
    EXPECT_TRUE(sources.read.empty());
    EXPECT_EQ(sources.prompts, 0);
}

TEST(LoginTest, MissingValuesComeFromTheSettingsOneByOne) {
    Sources sources;
    const db::Login profile = ResolveLogin(ParseDatabaseOptions({"-u", "ann"}), sources.Get());
    EXPECT_EQ(profile.server, "stored-host");
    EXPECT_EQ(profile.user, "ann");
    EXPECT_EQ(profile.password, "stored-pw");
    EXPECT_EQ(profile.port, "3306");
    EXPECT_EQ(profile.database, "stored-db");
    EXPECT_EQ(sources.read.count(SettingKey::User), 0u);
}

struct PasswordCase {
    const char* name;
    std::vector<std::string> args;
    std::optional<std::string> mysql_pwd;
    std::string expected;
    int prompts;
};

class PasswordTest : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordTest, ComesFromTheRightSource) {
    Sources sources;
    sources.mysql_pwd = GetParam().mysql_pwd;
    EXPECT_EQ(ResolveLogin(ParseDatabaseOptions(GetParam().args), sources.Get()).password,
              GetParam().expected);
    EXPECT_EQ(sources.prompts, GetParam().prompts);
    EXPECT_EQ(sources.read.count(SettingKey::Password), GetParam().expected == "stored-pw" ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PasswordTest,
    ::testing::Values(PasswordCase{"OptionBeatsEnvironment", {"-popt"}, "env-pw", "opt", 0},
                      PasswordCase{"EmptyOptionBeatsEnvironment", {"--password="}, "env-pw", "", 0},
                      PasswordCase{"PromptBeatsEnvironment", {"-p"}, "env-pw", "typed-pw", 1},
                      PasswordCase{"EnvironmentBeatsSettings", {}, "env-pw", "env-pw", 0},
                      PasswordCase{"EmptyEnvironmentIsAPassword", {}, "", "", 0},
                      PasswordCase{"SettingsLast", {}, std::nullopt, "stored-pw", 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrelmoor::cli
