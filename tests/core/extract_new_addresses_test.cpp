#include "core/extract_new_addresses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kestrelmoor {
namespace {

using Addresses = std::vector<std::string>;

struct ExtractCase {
    const char* name;
    std::string text;
    Addresses expected;
};

class ExtractOneTextTest : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractOneTextTest, ReturnsTheNewAddressesInOrder) {
    SeenAddresses seen;
    EXPECT_EQ(ExtractNewAddresses(GetParam().text, seen), GetParam().expected);
}

std::string CaseName(const testing::TestParamInfo<ExtractCase>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Punctuation, ExtractOneTextTest,
    testing::Values(ExtractCase{"AngleBrackets", "John <john@example.com>", {"john@example.com"}},
                    ExtractCase{"Parentheses", "(john@example.com)", {"john@example.com"}},
                    ExtractCase{"Quotes",
                                "\"john@example.com\" 'mary@example.org'",
                                {"john@example.com", "mary@example.org"}},
                    ExtractCase{"WordAndColon", "mailto:john@example.com", {"john@example.com"}},
                    ExtractCase{"CommaAndSemicolon",
                                "a@example.com,b@example.com;c@example.com",
                                {"a@example.com", "b@example.com", "c@example.com"}},
                    ExtractCase{"ApostropheCutsLocalPart", "o'brien@example.com", {"brien@example.com"}},
                    ExtractCase{"PercentCutsLocalPart", "user%relay@example.com", {"relay@example.com"}},
                    ExtractCase{"PlusFailsWhole", "john+tag@example.com", {}},
                    ExtractCase{"TrailingFullStopKept", "Write to john@example.com.", {}},
                    ExtractCase{"BracketedQuadBlanked", "a@[10.0.0.1]", {}},
                    ExtractCase{"PlainQuad", "a@10.0.0.1", {}},
                    ExtractCase{"EveryBlankedCharacter",
                                ",!\"#$%&'()*/:;<=>?[\\]^`{|}~a@b.co~}|{`^]\\[?>=<;:/*)('&%$#\"!,",
                                {"a@b.co"}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Separators, ExtractOneTextTest,
    testing::Values(ExtractCase{"TabSpaceCrLf",
                                "a@b.co\tc@d.co e@f.co\r\ng@h.co",
                                {"a@b.co", "c@d.co", "e@f.co", "g@h.co"}},
                    ExtractCase{"LoneLineFeedJoinsTwo", "a@b.co\nc@d.co", {}},
                    ExtractCase{"LineFeedInsideAddressRemoved", "jo\nhn@exam\nple.com", {"john@example.com"}},
                    ExtractCase{"NoBreakSpaceIsNoSeparator", "a@b.co\xc2\xa0next", {}},
                    ExtractCase{"NulIsNoSeparator", std::string("x\0a@b.co y@z.co", 15), {"y@z.co"}},
                    ExtractCase{"ControlCharactersStayInToken",
                                "\x01"
                                "a@b.co",
                                {}},
                    ExtractCase{"Empty", "", {}},
                    ExtractCase{"NoAt", "just some words. and full stops.", {}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(Duplicates, ExtractOneTextTest,
                         testing::Values(ExtractCase{"SameTwice", "a@b.co a@b.co", {"a@b.co"}},
                                         ExtractCase{"FirstLetterCaseWins",
                                                     "John@Example.COM john@example.com JOHN@EXAMPLE.COM",
                                                     {"John@Example.COM"}},
                                         ExtractCase{"InvalidDoesNotBlockValid", "a@b.c a@b.co", {"a@b.co"}}),
                         CaseName);

TEST(ExtractNewAddressesTest, SeenSetSpansCallsOfOneRunOnly) {
    SeenAddresses run;
    EXPECT_EQ(ExtractNewAddresses("Mary@Example.org", run), Addresses{"Mary@Example.org"});
    EXPECT_EQ(ExtractNewAddresses("mary@example.ORG tom@example.org", run), Addresses{"tom@example.org"});
    EXPECT_TRUE(run.Contains("mary@example.org"));
    EXPECT_FALSE(run.Contains("Mary@Example.org"));

    SeenAddresses next_run;
    EXPECT_EQ(ExtractNewAddresses("mary@example.ORG", next_run), Addresses{"mary@example.ORG"});
}

TEST(ExtractNewAddressesTest, YieldsOncePerCandidateBeforeExaminingIt) {
    SeenAddresses seen;
    std::vector<std::size_t> seen_size_at_yield;
    // "a@b" holds no full stop and "plain.text" no "@": neither is a candidate. "x@y.z" is one,
    // though it fails the pattern.
    ExtractNewAddresses("a@b plain.text x@y.z c@d.co e@f.co", seen,
                        [&] { seen_size_at_yield.push_back(seen.Size()); });
    EXPECT_EQ(seen_size_at_yield, (std::vector<std::size_t>{0, 0, 1}));
}

TEST(ExtractNewAddressesTest, TextWithoutCandidatesNeverYields) {
    SeenAddresses seen;
    int yields = 0;
    ExtractNewAddresses("", seen, [&] { ++yields; });
    ExtractNewAddresses("no address here @ all", seen, [&] { ++yields; });
    EXPECT_EQ(yields, 0);
}

TEST(ExtractNewAddressesTest, FailingYieldKeepsWhatWasAddedToTheSet) {
    SeenAddresses seen;
    int yields = 0;
    auto fail_second = [&] {
        if (++yields == 2) throw std::runtime_error("interrupted");
    };
    EXPECT_THROW(ExtractNewAddresses("a@b.co c@d.co", seen, fail_second), std::runtime_error);
    EXPECT_TRUE(seen.Contains("a@b.co"));
    EXPECT_FALSE(seen.Contains("c@d.co"));
}

TEST(ExtractNewAddressesTest, HugeTokensAndManyAtSignsStayLinear) {
    SeenAddresses seen;
    std::string text(8 << 20, '@');
    text += ".co";
    int yields = 0;
    EXPECT_TRUE(ExtractNewAddresses(text, seen, [&] { ++yields; }).empty());
    EXPECT_EQ(yields, 1);

    std::string many;
    for (int i = 0; i < 100000; ++i) many += "u" + std::to_string(i) + "@example.com ";
    EXPECT_EQ(ExtractNewAddresses(many, seen).size(), 100000u);
}

}  // namespace
}  // namespace kestrelmoor
