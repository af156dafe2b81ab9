// SPDX-License-Identifier: MIT
#include "core/address_pattern.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelmoor {
namespace {

struct PatternCase {
    std::string token;
    bool valid;
};

class AddressPatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(AddressPatternTest, MatchesTheWholeToken) {
    EXPECT_EQ(IsValidAddress(GetParam().token), GetParam().valid) << GetParam().token;
}

INSTANTIATE_TEST_SUITE_P(
    LocalPart, AddressPatternTest,
    testing::Values(PatternCase{"john@example.com", true}, PatternCase{"-john@example.com", true},
                    PatternCase{"_john@example.com", true}, PatternCase{".john@example.com", false},
                    PatternCase{"jo..hn@example.com", true}, PatternCase{"john.@example.com", true},
                    PatternCase{"jo+hn@example.com", true}, PatternCase{"john+@example.com", true},
                    PatternCase{"+john@example.com", false}, PatternCase{"@example.com", false},
                    PatternCase{"j@example.com", true}, PatternCase{"jo\xc3\xa9@example.com", false},
                    PatternCase{"jo hn@example.com", false}));

INSTANTIATE_TEST_SUITE_P(
    Domain, AddressPatternTest,
    testing::Values(PatternCase{"a@example.c", false}, PatternCase{"a@example.co", true},
                    PatternCase{"a@example.museumx", true}, PatternCase{"a@example.c0m", false},
                    PatternCase{"a@example.co-m", false}, PatternCase{"a@-sub-.example.com", true},
                    PatternCase{"a@sub..example.com", false}, PatternCase{"a@.example.com", false},
                    PatternCase{"a@example.com.", false}, PatternCase{"a@example", false},
                    PatternCase{"a@exa_mple.com", false}, PatternCase{"a@exa+mple.com", false},
                    PatternCase{"a@b@example.com", false}, PatternCase{"a@EXAMPLE.COM", true},
                    PatternCase{"a@example.com\n", false}, PatternCase{"a@ex\xc3\xa4mple.com", false},
                    PatternCase{"a@example.co\xc2\xa0", false}, PatternCase{"a@", false},
                    PatternCase{"", false}));

// Dotted quads only pass in the pattern's own odd forms: an opening bracket with an octet final part
// closed by "]", or labels of digits followed by an octet and "]". A plain dotted quad never passes.
INSTANTIATE_TEST_SUITE_P(
    Numbers, AddressPatternTest,
    testing::Values(PatternCase{"a@192.168.0.1", false}, PatternCase{"a@[192.168.0.1]", true},
                    PatternCase{"a@[192.168.0.256]", false}, PatternCase{"a@[192.168.00.1]", false},
                    PatternCase{"a@[255.249.199.0]", true}, PatternCase{"a@[1.2.3.com", true},
                    PatternCase{"a@[1.2.com", false}, PatternCase{"a@[1.2.3.4.5]", false},
                    PatternCase{"a@1.2.3.4]", true}, PatternCase{"a@x.255]", true},
                    PatternCase{"a@x.256]", false}, PatternCase{"a@x.01]", false},
                    PatternCase{"a@x.0]", true}, PatternCase{"a@[300.1.1.1]", false},
                    PatternCase{"a@[1.2.3.4", false}, PatternCase{"a@1.2.3.x]", false}));

}  // namespace
}  // namespace kestrelmoor
