// The database mode's command line: every spelling of the login options that the mysql client accepts,
// the output options, table names in order, and what is refused as a usage error.
#include "cli/options.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace kestrelmoor::cli {
namespace {

using Args = std::vector<std::string>;
using Opt = std::optional<std::string>;

struct Parsed {
    const char* name;
    Args args;
    Opt host, user, password, port, database;
    bool prompt = false;
    Args tables = {};
    bool comma = false;
    Opt output = std::nullopt;
};

class ParsesTest : public ::testing::TestWithParam<Parsed> {};

TEST_P(ParsesTest, ReadsEveryField) {
    const Parsed& want = GetParam();
    const DatabaseOptions got = ParseDatabaseOptions(want.args);
    EXPECT_EQ(got.host, want.host);
    EXPECT_EQ(got.user, want.user);
    EXPECT_EQ(got.password, want.password);
    EXPECT_EQ(got.port, want.port);
    EXPECT_EQ(got.database, want.database);
    EXPECT_EQ(got.prompt_password, want.prompt);
    EXPECT_EQ(got.tables, want.tables);
    EXPECT_EQ(got.comma, want.comma);
    EXPECT_EQ(got.output, want.output);
    EXPECT_FALSE(got.help);
}

const Opt no;

INSTANTIATE_TEST_SUITE_P(
    Spellings, ParsesTest,
    ::testing::Values(
        Parsed{"Nothing", {}, no, no, no, no, no},
        Parsed{"ShortSeparated",
               {"-h", "db.example", "-u", "ann", "-P", "3307", "-D", "shop"},
               "db.example",
               "ann",
               no,
               "3307",
               "shop"},
        Parsed{"ShortAttached",
               {"-hdb.example", "-uann", "-P3307", "-Dshop"},
               "db.example",
               "ann",
               no,
               "3307",
               "shop"},
        Parsed{"LongWithEquals",
               {"--host=db.example", "--user=ann", "--port=3307", "--database=shop"},
               "db.example",
               "ann",
               no,
               "3307",
               "shop"},
        Parsed{"LongSeparated",
               {"--host", "db.example", "--user", "ann", "--port", "3307", "--database", "shop"},
               "db.example",
               "ann",
               no,
               "3307",
               "shop"},
        Parsed{"EmptyValuesStayEmpty", {"--host=", "-u", ""}, "", "", no, no, no},
        Parsed{"ValueThatLooksLikeAnOption", {"-u", "-p"}, no, "-p", no, no, no},
        Parsed{"PasswordAttachedShort", {"-psecret"}, no, no, "secret", no, no},
        Parsed{"PasswordAttachedLong", {"--password=se=cret"}, no, no, "se=cret", no, no},
        Parsed{"EmptyPasswordIsGivenNotAsked", {"--password="}, no, no, "", no, no},
        Parsed{"DashPAloneAsks", {"-p"}, no, no, no, no, no, true},
        Parsed{"LongPasswordAloneAsks", {"--password"}, no, no, no, no, no, true},
        Parsed{"ArgumentAfterDashPIsATable", {"-p", "orders"}, no, no, no, no, no, true, {"orders"}},
        Parsed{"LastPasswordOptionWins", {"-p", "-psecret"}, no, no, "secret", no, no},
        Parsed{"LastPasswordOptionWinsAsking", {"-psecret", "-p"}, no, no, no, no, no, true},
        Parsed{"LastValueWins", {"-ua", "--user=b"}, no, "b", no, no, no},
        Parsed{"TablesInOrderAmongOptions",
               {"orders", "-uann", "customers", "Orders"},
               no,
               "ann",
               no,
               no,
               no,
               false,
               {"orders", "customers", "Orders"}},
        Parsed{"DoubleDashEndsOptions",
               {"--", "-odd", "--comma"},
               no,
               no,
               no,
               no,
               no,
               false,
               {"-odd", "--comma"}},
        Parsed{"LoneDashIsATable", {"-"}, no, no, no, no, no, false, {"-"}},
        Parsed{"CommaAndShortOutput",
               {"--comma", "-o", "out.csv"},
               no,
               no,
               no,
               no,
               no,
               false,
               {},
               true,
               "out.csv"},
        Parsed{"LongOutput", {"--output=out.txt", "t"}, no, no, no, no, no, false, {"t"}, false, "out.txt"},
        Parsed{"AttachedOutput", {"-oout.txt"}, no, no, no, no, no, false, {}, false, "out.txt"},
        Parsed{"PortOfLettersIsLeftToTheOpen", {"-P", "abc"}, no, no, no, "abc", no}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OptionsTest, HelpIsSeenAnywhere) {
    EXPECT_TRUE(ParseDatabaseOptions({"-u", "ann", "--help"}).help);
}

class RefusesTest : public ::testing::TestWithParam<Args> {};

TEST_P(RefusesTest, ThrowsUsageError) {
    EXPECT_THROW(ParseDatabaseOptions(GetParam()), UsageError);
}

INSTANTIATE_TEST_SUITE_P(UsageErrors, RefusesTest,
                         ::testing::Values(Args{"--bogus"}, Args{"-x"}, Args{"-B"}, Args{"t", "-h"},
                                           Args{"--port"}, Args{"-o"}, Args{"--comma=yes"}, Args{"--help=1"},
                                           Args{"-u", "ann", "--text"}));

TEST(OptionsTest, UsageErrorNamesTheOption) {
    try {
        ParseDatabaseOptions({"t", "--colour"});
        FAIL() << "no usage error";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("--colour"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kestrelmoor::cli
