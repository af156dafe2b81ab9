#include <gtest/gtest.h>

#include <string>

#include "db/connection_profile.h"
#include "db/connection_string.h"

namespace kestrelmoor::db {
namespace {

struct ReadCase {
    const char* name;
    std::string text;
    ConnectionSettings expected;  // compared when `error` is empty
    std::string error;            // a part of the message when the text must be refused
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

ConnectionSettings Settings(std::string server, std::string user, std::string password, std::string database,
                            std::uint16_t port = 3306) {
    return {std::move(server), std::move(user), std::move(password), std::move(database), port};
}

const std::string kOurs = "DRIVER={MySQL ODBC 5.1 Driver};";

class ReadConnectionStringTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadConnectionStringTest, ReadsAsADriverWould) {
    const ReadCase& c = GetParam();
    if (!c.error.empty()) {
        try {
            ReadConnectionString(c.text);
            FAIL() << "accepted: " << c.text;
        } catch (const DatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << e.what();
        }
        return;
    }
    const ConnectionSettings got = ReadConnectionString(c.text);
    EXPECT_EQ(got.server, c.expected.server);
    EXPECT_EQ(got.user, c.expected.user);
    EXPECT_EQ(got.password, c.expected.password);
    EXPECT_EQ(got.database, c.expected.database);
    EXPECT_EQ(got.port, c.expected.port);
}

const ReadCase kReadCases[] = {
    {"OurOwnString", kOurs + "SERVER=db.local;USER=u;PASSWORD=p;DATABASE=shop;PORT=3307;",
     Settings("db.local", "u", "p", "shop", 3307), ""},
    {"KeysInAnyCase", "driver={MySQL ODBC 5.1 Driver};Server=h;uSeR=u;password=p;DataBase=d;port=1;",
     Settings("h", "u", "p", "d", 1), ""},
    {"AliasesOfTheKeys", "UID=u;PWD=p;DB=d;", Settings("", "u", "p", "d"), ""},
    {"NoTrailingSemicolon", "SERVER=h;PORT=65535", Settings("h", "", "", "", 65535), ""},
    {"AllValuesEmpty", kOurs + "SERVER=;USER=;PASSWORD=;DATABASE=;PORT=;", Settings("", "", "", ""), ""},
    {"MissingPortMeans3306", "SERVER=h;", Settings("h", "", "", ""), ""},
    {"SpacesInValuesKept", "SERVER= h ;USER=  u;PASSWORD=p  ;DATABASE= d;",
     Settings(" h ", "  u", "p  ", " d"), ""},
    {"SemicolonSplitsAnUnbracedValue", kOurs + "SERVER=h;USER=u;PASSWORD=ab;cd;DATABASE=d;PORT=;",
     Settings("h", "u", "ab", "d"), ""},
    {"EqualsSignStaysInTheValue", "PASSWORD=a=b=;USER=u;", Settings("", "u", "a=b=", ""), ""},
    {"BracedValueHoldsSemicolon", "PASSWORD={ab;cd};USER=u;", Settings("", "u", "ab;cd", ""), ""},
    {"DoubledClosingBraceInBraces", "PASSWORD={a}}b};", Settings("", "", "a}b", ""), ""},
    {"FirstOccurrenceWins", "USER=first;USER=second;", Settings("", "first", "", ""), ""},
    {"PiecesWithoutEqualsIgnored", "USER=u;junk;;PORT=7;", Settings("", "u", "", "", 7), ""},
    {"UnknownKeysIgnored", "OPTION=3;CHARSET=latin1;USER=u;", Settings("", "u", "", ""), ""},
    {"DriverUnbraced", "DRIVER=MySQL ODBC 5.1 Driver;USER=u;", Settings("", "u", "", ""), ""},
    {"DriverInOtherCase", "DRIVER={mysql odbc 5.1 driver};USER=u;", Settings("", "u", "", ""), ""},

    {"AnotherDriver", "DRIVER={SQL Server};SERVER=h;", {}, "DRIVER \"SQL Server\" is not supported"},
    {"AnotherMySqlDriver", "DRIVER={MySQL ODBC 8.0 Unicode Driver};", {}, "is not supported"},
    {"EmptyDriver", "DRIVER=;SERVER=h;", {}, "is not supported"},
    {"PortOfLetters", kOurs + "SERVER=h;PORT=abc;", {}, "PORT \"abc\" is not a port number"},
    {"PortZero", "PORT=0;", {}, "not a port number"},
    {"PortAboveRange", "PORT=65536;", {}, "not a port number"},
    {"PortBeyondAnyInteger", "PORT=999999999999999999999999;", {}, "not a port number"},
    {"PortNegative", "PORT=-1;", {}, "not a port number"},
    {"PortWithSign", "PORT=+3306;", {}, "not a port number"},
    {"PortWithSpace", "PORT= 3306;", {}, "not a port number"},
    {"PortWithTrailingText", "PORT=3306x;", {}, "not a port number"},
    {"PasswordCutIntoAPortAttribute", "USER=u;PASSWORD=a;PORT=x;PORT=3306;", {}, "PORT \"x\""},
    {"UnclosedBrace", "PASSWORD={abc;USER=u;", {}, "not closed"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReadConnectionStringTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BuildConnectionStringTest, JoinsTheSixAttributesInOrder) {
    EXPECT_EQ(BuildConnectionString({"localhost", "u", "", "shop", "3306"}),
              "DRIVER={MySQL ODBC 5.1 Driver};SERVER=localhost;USER=u;PASSWORD=;DATABASE=shop;PORT=3306;");
    EXPECT_EQ(BuildConnectionString({}),
              "DRIVER={MySQL ODBC 5.1 Driver};SERVER=;USER=;PASSWORD=;DATABASE=;PORT=;");
}

TEST(BuildConnectionStringTest, ReadsBackToTheSameLogin) {
    const ConnectionProfile profile{"127.0.0.1", "Some User", " pass=word ", "the shop", "13306"};
    const ConnectionSettings read = ReadConnectionString(BuildConnectionString(profile));
    EXPECT_EQ(read.server, profile.server);
    EXPECT_EQ(read.user, profile.user);
    EXPECT_EQ(read.password, profile.password);
    EXPECT_EQ(read.database, profile.database);
    EXPECT_EQ(read.port, 13306);
}

}  // namespace
}  // namespace kestrelmoor::db
