// SPDX-License-Identifier: MIT
// The command line of both modes: every spelling of the options that the mysql client accepts, in any
// order among the names, what is refused as a usage error and how, and the password hidden in argv.
#include "cli/login/options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kestrelmoor::cli {
namespace {

using Args = std::vector<std::string>;
using Opt = std::optional<std::string>;
using Given = std::vector<std::pair<std::string, Opt>>;  // the login settings, key and value

struct Parsed {
    const char* name;
    Args args;
    Given login = {};
    Args names = {};
    std::string flags = "";  // letters for the other fields: c comma, t text, l print-login, v verbose,
                             // h help, V version, n no-defaults
    Opt output = std::nullopt;
    Opt defaults_file = std::nullopt;
    Opt extra_file = std::nullopt;
};

void PrintTo(const Parsed& parsed, std::ostream* out) {
    *out << parsed.name;
}

std::string FlagsOf(const CommandLine& line) {
    std::string flags;
    const std::pair<bool, char> all[] = {
        {line.comma, 'c'}, {line.text, 't'},    {line.print_login, 'l'},      {line.verbose, 'v'},
        {line.help, 'h'},  {line.version, 'V'}, {line.option_files.none, 'n'}};
    for (const auto& [on, letter] : all) {
        if (on) flags += letter;
    }
    return flags;
}

class ParsesTest : public ::testing::TestWithParam<Parsed> {};

TEST_P(ParsesTest, ReadsEveryField) {
    const Parsed& want = GetParam();
    const CommandLine got = ParseCommandLine(want.args);
    Given login;
    for (const Setting& setting : got.login) login.emplace_back(setting.key, setting.value);
    EXPECT_EQ(login, want.login);
    EXPECT_EQ(got.tables, want.names);
    EXPECT_EQ(FlagsOf(got), want.flags);
    EXPECT_EQ(got.output, want.output);
    EXPECT_EQ(got.option_files.only, want.defaults_file);
    EXPECT_EQ(got.option_files.extra, want.extra_file);
}

const Opt no;
const Given kFour = {{"host", "db.example"}, {"user", "ann"}, {"port", "3307"}, {"database", "shop"}};

INSTANTIATE_TEST_SUITE_P(
    Spellings, ParsesTest,
    ::testing::Values(
        Parsed{"Nothing", {}},
        Parsed{"ShortSeparated", {"-h", "db.example", "-u", "ann", "-P", "3307", "-D", "shop"}, kFour},
        Parsed{"ShortAttached", {"-hdb.example", "-uann", "-P3307", "-Dshop"}, kFour},
        Parsed{
            "LongWithEquals", {"--host=db.example", "--user=ann", "--port=3307", "--database=shop"}, kFour},
        Parsed{"LongSeparated",
               {"--host", "db.example", "--user", "ann", "--port", "3307", "--database", "shop"},
               kFour},
        Parsed{"UniquePrefixes", {"--hos=db.example", "--us", "ann", "--por=3307", "--database=shop"}, kFour},
        Parsed{"EmptyValuesStayEmpty", {"--host=", "-u", ""}, {{"host", ""}, {"user", ""}}},
        Parsed{"ValueThatLooksLikeAnOption", {"-u", "-p"}, {{"user", "-p"}}},
        Parsed{"PasswordAttachedShort", {"-psecret"}, {{"password", "secret"}}},
        Parsed{"PasswordAttachedLong", {"--password=se=cret"}, {{"password", "se=cret"}}},
        Parsed{"EmptyPasswordIsGivenNotAsked", {"--password="}, {{"password", ""}}},
        Parsed{"DashPAloneAsks", {"-p"}, {{"password", no}}},
        Parsed{"LongPasswordAloneAsks", {"--password"}, {{"password", no}}},
        Parsed{"ArgumentAfterDashPIsATable", {"-p", "orders"}, {{"password", no}}, {"orders"}},
        Parsed{"ShortCluster", {"-Cuann"}, {{"compress", no}, {"user", "ann"}}},
        Parsed{"ConnectionOptions",
               {"-S", "/s.sock", "--protocol=TCP", "--connect-timeout", "5", "--read-timeout=7", "--ssl",
                "--skip-ssl", "--ssl-ca=ca.pem", "--ssl-capath", "cas", "--ssl-cert=c.pem", "--ssl-key=k.pem",
                "--ssl-verify-server-cert"},
               {{"socket", "/s.sock"},
                {"protocol", "TCP"},
                {"connect-timeout", "5"},
                {"read-timeout", "7"},
                {"ssl", no},
                {"skip-ssl", no},
                {"ssl-ca", "ca.pem"},
                {"ssl-capath", "cas"},
                {"ssl-cert", "c.pem"},
                {"ssl-key", "k.pem"},
                {"ssl-verify-server-cert", no}}},
        Parsed{"NamesInOrderAmongOptions",
               {"orders", "-uann", "customers", "Orders"},
               {{"user", "ann"}},
               {"orders", "customers", "Orders"}},
        Parsed{"DoubleDashEndsOptions", {"t", "--", "-odd", "--comma"}, {}, {"t", "-odd", "--comma"}},
        Parsed{"LoneDashIsAName", {"-"}, {}, {"-"}},
        Parsed{"CommaAndShortOutput", {"--comma", "-o", "out.csv"}, {}, {}, "c", "out.csv"},
        Parsed{"AttachedOutput", {"t", "-oout.txt"}, {}, {"t"}, "", "out.txt"},
        Parsed{"TextAnywhereWithOutputOptionsAfterIt",
               {"a.txt", "--text", "b.txt", "--comma", "--output", "out.csv"},
               {},
               {"a.txt", "b.txt"},
               "ct",
               "out.csv"},
        Parsed{"OptionFilesAnywhere",
               {"t", "--defaults-file=my.cnf", "--defaults-extra-file", "x.cnf", "--no-defaults"},
               {},
               {"t"},
               "n",
               no,
               "my.cnf",
               "x.cnf"},
        Parsed{"Answers", {"--print-login", "-v", "-?", "--help", "-V", "--version"}, {}, {}, "lvhV"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Refused {
    const char* name;
    Args args;
    std::string message;
};

void PrintTo(const Refused& refused, std::ostream* out) {
    *out << refused.name;
}

class RefusesTest : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusesTest, ThrowsUsageErrorInTheUsersTerms) {
    try {
        ParseCommandLine(GetParam().args);
        FAIL() << "no usage error";
    } catch (const UsageError& e) {
        EXPECT_EQ(e.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    UsageErrors, RefusesTest,
    ::testing::Values(
        Refused{"PortOfLetters", {"-P", "abc"}, "--port: 'abc' is not a port number (1-65535)"},
        Refused{"PortTooBig", {"--port=65536"}, "--port: '65536' is not a port number (1-65535)"},
        Refused{"PortZero", {"-P0"}, "--port: '0' is not a port number (1-65535)"},
        Refused{"PortEmpty", {"--port="}, "--port: '' is not a port number (1-65535)"},
        Refused{"PortWithSpace", {"-P", "33 "}, "--port: '33 ' is not a port number (1-65535)"},
        Refused{"TimeoutZero",
                {"--connect-timeout=0"},
                "--connect-timeout: '0' is not a number of seconds (1 or more)"},
        Refused{"TimeoutNegative",
                {"--read-timeout", "-1"},
                "--read-timeout: '-1' is not a number of seconds (1 or more)"},
        Refused{"TimeoutHuge",
                {"--read-timeout=99999999999"},
                "--read-timeout: '99999999999' is not a number of seconds (1 or more)"},
        Refused{"ProtocolPipe", {"--protocol=pipe"}, "--protocol: 'pipe' is not a protocol (tcp or socket)"},
        Refused{"UnknownLong", {"t", "--colour"}, "unknown option '--colour'"},
        Refused{"UnknownLongValueNotQuoted", {"--passwort=secret"}, "unknown option '--passwort'"},
        Refused{
            "Ambiguous", {"--ssl-c=x"}, "option '--ssl-c' is ambiguous (--ssl-ca, --ssl-capath, --ssl-cert)"},
        Refused{"DatabaseIsNoPrefixOfDatabases",
                {"--data=shop"},
                "option '--data' is ambiguous (--database, --databases)"},
        Refused{"UnknownShort", {"-x"}, "unknown option '-x'"},
        Refused{"UnknownShortInCluster", {"--comma", "-Cx"}, "unknown option '-x'"},
        Refused{"MissingValueShort", {"t", "-h"}, "option '--host' needs a value"},
        Refused{"MissingValueLong", {"--port"}, "option '--port' needs a value"},
        Refused{"ValueForAFlag", {"--comma=yes"}, "option '--comma' takes no value"},
        Refused{"ValueForAShortFlag", {"--verbose=1"}, "option '--verbose' takes no value"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OptionsTest, APasswordIsOverwrittenInArgvAndKept) {
    std::string program = "kestrelmoor-extract", shortp = "-psecret", longp = "--password=s3cr3t";
    std::string cluster = "-Cphidden", table = "t";
    char* argv[] = {program.data(), shortp.data(), longp.data(), cluster.data(), table.data(), nullptr};
    const CommandLine line = ParseCommandLine(5, argv);
    EXPECT_STREQ(argv[1], "-pxxxxxx");
    EXPECT_STREQ(argv[2], "--password=xxxxxx");
    EXPECT_STREQ(argv[3], "-Cpxxxxxx");
    EXPECT_STREQ(argv[4], "t");
    ASSERT_EQ(line.login.size(), 4u);
    EXPECT_EQ(line.login[0].value, "secret");
    EXPECT_EQ(line.login[1].value, "s3cr3t");
    EXPECT_EQ(line.login[3].value, "hidden");
}

}  // namespace
}  // namespace kestrelmoor::cli
