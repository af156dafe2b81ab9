// SPDX-License-Identifier: MIT
// Text shown on a terminal: every control escaped, everything else as it was. (The console's own use,
// an escape sequence in a name and line feeds in messages, is in console_test.cpp.)
#include "cli/output/terminal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelmoor::cli {
namespace {

TEST(ShowControlsTest, EscapesEveryControlAndKeepsTheRest) {
    EXPECT_EQ(ShowControls("\a\b\t\n\v\f\r"), "\\a\\b\\t\\n\\v\\f\\r");
    EXPECT_EQ(ShowControls(std::string("a\0b\x01\x1f\x7f", 6)), "a\\x00b\\x01\\x1f\\x7f");
    // C1 controls in UTF-8 (U+009B is CSI), and bytes that are no UTF-8, which a Latin-1 terminal obeys.
    EXPECT_EQ(ShowControls(std::string("\xc2\x9b") + "2J \xc2\x80"), "\\u009b2J \\u0080");
    const std::string invalid = std::string("\x9b") + "2J \xff \xc3 \xe2\x82 \xc0\xaf \xed\xa0\x80";
    EXPECT_EQ(ShowControls(invalid), "\\x9b2J \\xff \\xc3 \\xe2\\x82 \\xc0\\xaf \\xed\\xa0\\x80");
    EXPECT_EQ(ShowControls(ShowControls(invalid)), ShowControls(invalid)) << "shown twice changes nothing";
    const std::string kept = "Kunden_\xc3\xa4 \xe2\x82\xac \xf0\x9f\x98\x80 \xc2\xa0 back\\slash ~";
    EXPECT_EQ(ShowControls(kept), kept);
}

}  // namespace
}  // namespace kestrelmoor::cli
