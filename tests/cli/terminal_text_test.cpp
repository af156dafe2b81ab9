// Text shown on a terminal: control characters escaped, never obeyed; everything else as it was.
#include "cli/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelmoor::cli {
namespace {

TEST(ShowControlsTest, EscapesEveryControlAndKeepsTheRest) {
    // A table name that would set the window's title and clear the screen.
    EXPECT_EQ(ShowControls("t\x1b]0;PWNED\a\x1b[2J"), "t\\x1b]0;PWNED\\a\\x1b[2J");
    EXPECT_EQ(ShowControls("\a\b\t\n\v\f\r"), "\\a\\b\\t\\n\\v\\f\\r");
    EXPECT_EQ(ShowControls(std::string("a\0b\x01\x1f\x7f", 6)), "a\\x00b\\x01\\x1f\\x7f");
    // C1 controls in UTF-8 (U+009B is CSI), and bytes that are no UTF-8, which a Latin-1 terminal obeys.
    EXPECT_EQ(ShowControls(std::string("\xc2\x9b") + "2J \xc2\x80"), "\\u009b2J \\u0080");
    EXPECT_EQ(ShowControls(std::string("\x9b") + "2J \xff \xc3 \xe2\x82 \xc0\xaf \xed\xa0\x80"),
              "\\x9b2J \\xff \\xc3 \\xe2\\x82 \\xc0\\xaf \\xed\\xa0\\x80");
    const std::string kept = "Kunden_\xc3\xa4 \xe2\x82\xac \xf0\x9f\x98\x80 \xc2\xa0 back\\slash ~";
    EXPECT_EQ(ShowControls(kept), kept);
}

TEST(ShowControlsTest, LineFeedsKeptOnlyWhenAskedAndShowingTwiceChangesNothing) {
    EXPECT_EQ(ShowControls("one\ntwo\x1b", true), "one\ntwo\\x1b");
    const std::string once = ShowControls("a\x1b\n\xc2\x9b\xff");
    EXPECT_EQ(ShowControls(once), once);
}

}  // namespace
}  // namespace kestrelmoor::cli
