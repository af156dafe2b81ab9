// SPDX-License-Identifier: MIT
// The recognizer as extractions use it: the valid candidates of a text, entered in the run's seen set
// through the look-ahead inserter, the new ones handed on in order.
#include "core/address_scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lookahead_inserter.h"

namespace kestrelmoor {
namespace {

using Addresses = std::vector<std::string>;

Addresses ExtractNewAddresses(std::string_view text, SeenAddresses& seen) {
    Addresses found;
    LookaheadInserter inserter(seen, [&](std::string_view address, const LookaheadInserter::Origin&) {
        found.emplace_back(address);
    });
    ForEachValidAddress(text, [&](std::string_view address) { inserter.Add(address); });
    inserter.Flush();
    return found;
}

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
                    ExtractCase{"BracketedQuadBlanked", "a@[10.0.0.1]", {}},
                    ExtractCase{"PlainQuad", "a@10.0.0.1", {}},
                    ExtractCase{"EveryBlankedCharacter",
                                ",!\"#$%&'()*/:;<=>?[\\]^`{|}~a@b.co~}|{`^]\\[?>=<;:/*)('&%$#\"!,",
                                {"a@b.co"}}),
    CaseName);

// Sub-addresses are addresses of their own; a sentence's closing full stops are not part of one.
INSTANTIATE_TEST_SUITE_P(
    PlusAndFullStops, ExtractOneTextTest,
    testing::Values(ExtractCase{"PlusPartKept",
                                "jane.doe+news@mail.example.com 12345+name@users.example.com",
                                {"jane.doe+news@mail.example.com", "12345+name@users.example.com"}},
                    ExtractCase{
                        "PlusAddressAndPlainOneAreTwo", "a+b@x.org a@x.org", {"a+b@x.org", "a@x.org"}},
                    ExtractCase{"LeadingPlusFailsWhole", "+john@example.com", {}},
                    ExtractCase{"PlusInDomainFails", "john@ex+ample.com", {}},
                    ExtractCase{"SentenceFullStopTrimmed",
                                "Mail to bug-libtool@gnu.org. Or x@y.example...",
                                {"bug-libtool@gnu.org", "x@y.example"}},
                    ExtractCase{"TrimmedFormDeduplicated", "a@b.co. A@B.CO", {"a@b.co"}},
                    ExtractCase{"FullStopBeforeBlankedTrimmed", "(see a@b.co.)", {"a@b.co"}},
                    ExtractCase{"OnlyFullStopsTrimmed", "a@b.co- a@b.co_ a@b.co.-", {}},
                    ExtractCase{"LeadingFullStopNotTrimmed", ".a@b.co", {}}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Separators, ExtractOneTextTest,
    testing::Values(
        ExtractCase{
            "TabSpaceCrLf", "a@b.co\tc@d.co e@f.co\r\ng@h.co", {"a@b.co", "c@d.co", "e@f.co", "g@h.co"}},
        ExtractCase{
            "LoneLineFeedSeparates", "Upstream-Contact: a@b.co\nSource: c@d.co\n", {"a@b.co", "c@d.co"}},
        ExtractCase{"AddressSplitByLineFeedYieldsNothing", "jo\nhn@exam\nple.com", {}},
        ExtractCase{
            "NulAndCtrlZSeparate", std::string("x\0a@b.co\0x y\x1a", 13) + "z@y.co", {"a@b.co", "z@y.co"}},
        ExtractCase{"ControlCharactersStayInToken",
                    "\x01"
                    "a@b.co",
                    {}},
        ExtractCase{"Empty", "", {}}, ExtractCase{"NoAt", "just some words. and full stops.", {}}),
    CaseName);

// Dumps, JSON and C strings write a splitter as a backslash and a letter; the letter is no part of the
// next token. Any backslash before it counts: a dump doubles the backslash of a value's "\n".
INSTANTIATE_TEST_SUITE_P(
    EscapedSplitters, ExtractOneTextTest,
    testing::Values(
        ExtractCase{
            "DumpedValue",
            R"((1,'note\nann@example.com','x\rhal@example.com'),(2,'\0ida@example.com\Zjan@example.com'))",
            {"ann@example.com", "hal@example.com", "ida@example.com", "jan@example.com"}},
        ExtractCase{
            "JsonTabAndCrLf", R"({"to":"a@b.co\tc@d.co\r\ne@f.co\n"})", {"a@b.co", "c@d.co", "e@f.co"}},
        ExtractCase{"DoubledBackslashStillSplits", R"('see\\nbo@example.org')", {"bo@example.org"}},
        ExtractCase{"OtherLettersStay",
                    R"(\bob@x.org \Nina@x.org \zoe@x.org \Ted@x.org)",
                    {"bob@x.org", "Nina@x.org", "zoe@x.org", "Ted@x.org"}},
        ExtractCase{"EscapeBeforeAtSignLeavesNoLocalPart", R"(x\n@b.co)", {}},
        ExtractCase{"FormFeedAndVerticalTab",
                    "\\fcarl@x.org \\vdan@x.org\fed@x.org\vfay@x.org",
                    {"carl@x.org", "dan@x.org", "ed@x.org", "fay@x.org"}},
        // "\uXXXX" stands for its character and separates only when that does; a letter written so keeps
        // its word whole, which is then no address.
        ExtractCase{
            "UnicodeEscapes",
            R"("\u201cann@example.com\u201D" j\u00fcrgen@example.de \u0022bo@x.org\u0022 x\u00E9y@x.org)",
            {"ann@example.com", "bo@x.org"}},
        ExtractCase{
            "SurrogatePairs", R"(\ud83d\ude00eve@x.org \ud840\udc00li@x.org \ud83dlo@x.org)", {"eve@x.org"}},
        ExtractCase{
            "DumpedJsonEscape", R"('{\"a\":\"\\u00abdan@example.org\\u00bb\"}')", {"dan@example.org"}},
        // As Python's and PHP's JSON encoders write every character beyond ASCII by default.
        ExtractCase{
            "EncodedJsonValue",
            R"({"note": "\u201cann@example.com\u201d schrieb an j\u00fcrgen@example.de\fund )"
            R"(\u00abdan@example.org\u00bb\u00a0\ud83d\ude00eve@example.net\u3002", "to": "ann@example.com"})",
            {"ann@example.com", "dan@example.org", "eve@example.net"}}),
    CaseName);

// In UTF-8 text, spaces and punctuation beyond ASCII separate words as their ASCII counterparts do;
// letters do not, and a byte of no character is part of its word.
INSTANTIATE_TEST_SUITE_P(
    BeyondAscii, ExtractOneTextTest,
    testing::Values(
        ExtractCase{"QuotationMarks",
                    "\u201cbob@example.com\u201d \u201ex@example.de\u201c \u00abdan@example.org\u00bb "
                    "\u27e8carl@example.org\u27e9 \u2039eli@x.org\u203a \u300cfu@x.jp\u300d",
                    {"bob@example.com", "x@example.de", "dan@example.org", "carl@example.org", "eli@x.org",
                     "fu@x.jp"}},
        ExtractCase{"IdeographicFullStopAndComma",
                    "\u9001\u4ed8\uff1aann@example.jp\u3002ben@x.jp\u3001cy@x.jp",
                    {"ann@example.jp", "ben@x.jp", "cy@x.jp"}},
        ExtractCase{"Spaces",
                    "a@b.co\u00a0c@d.co\u200be@f.co\u3000g@h.co\u2028i@j.co",
                    {"a@b.co", "c@d.co", "e@f.co", "g@h.co", "i@j.co"}},
        ExtractCase{"DashesAndSymbols",
                    "Mail\u2014ann@x.org\u2013 \u2709bo@x.org \u2192cy@x.org",
                    {"ann@x.org", "bo@x.org", "cy@x.org"}},
        ExtractCase{
            "LettersStay", "j\u00fcrgen@example.de ann@b\u00fccher.de \u0430nn@x.org zo\u00eb@x.org", {}},
        ExtractCase{"BytesOfNoCharacterStay",
                    "\xe2\x80"
                    "ann@x.org \xa0"
                    "bo@x.org \xc2"
                    "cy@x.org\xc2\xa0",
                    {}},
        ExtractCase{"Latin1NoBreakSpaceIsNoCharacter",
                    "x\xa0"
                    "ann@x.org",
                    {}}),
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

TEST(ExtractNewAddressesTest, HugeTokensAndManyAtSignsStayLinear) {
    SeenAddresses seen;
    std::string text(8 << 20, '@');
    text += ".co";
    EXPECT_TRUE(ExtractNewAddresses(text, seen).empty());

    std::string many;
    for (int i = 0; i < 100000; ++i) many += "u" + std::to_string(i) + "@example.com ";
    EXPECT_EQ(ExtractNewAddresses(many, seen).size(), 100000u);
}

TEST(ForEachValidAddressTest, TheLinesOfAFileAreSearchedAsOneText) {
    Addresses found;
    ForEachValidAddress("a@b.co\nc@d.co\r\njo\nhn@exam\nple.com\n@\nx.y@z.co",
                        [&](std::string_view address) { found.emplace_back(address); });
    EXPECT_EQ(found, (Addresses{"a@b.co", "c@d.co", "x.y@z.co"}));
}

}  // namespace
}  // namespace kestrelmoor
