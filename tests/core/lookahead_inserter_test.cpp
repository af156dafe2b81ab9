// SPDX-License-Identifier: MIT
#include "core/lookahead_inserter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "common/ascii.h"

namespace kestrelmoor {
namespace {

// Entering addresses a few behind must give exactly what entering each at once gives.
TEST(LookaheadInserterTest, GivesTheSameNewAddressesInTheSameOrderAsEnteringEachAtOnce) {
    std::vector<std::string> input;
    for (int i = 0; i < 5000; ++i) {
        input.push_back("User" + std::to_string(i % 700) + "@Example.com");
        if (i % 3 == 0)
            input.push_back("user" + std::to_string(i % 700) + "@example.COM");  // same, other case
        if (i % 50 == 0) input.push_back("fresh" + std::to_string(i) + "@example.org");
    }
    SeenAddresses direct_seen;
    std::vector<std::string> direct;
    for (const std::string& address : input) {
        std::string lowered = address;
        for (char& c : lowered) c = AsciiLower(c);
        if (direct_seen.Insert(lowered)) direct.push_back(address);
    }

    SeenAddresses seen;
    std::vector<std::string> delayed;
    LookaheadInserter inserter(seen, [&](std::string_view address, const LookaheadInserter::Origin&) {
        delayed.emplace_back(address);
    });
    for (const std::string& address : input) inserter.Add(address);
    inserter.Flush();
    EXPECT_EQ(delayed, direct);
    EXPECT_EQ(seen.Size(), direct_seen.Size());
}

TEST(LookaheadInserterTest, DuplicatesInsideTheWindowAreHandedOnOnce) {
    SeenAddresses seen;
    std::vector<std::string> found;
    LookaheadInserter inserter(seen, [&](std::string_view address, const LookaheadInserter::Origin&) {
        found.emplace_back(address);
    });
    for (const char* address : {"a@b.co", "A@B.CO", "a@b.co", "c@d.co"}) inserter.Add(address);
    inserter.Flush();
    inserter.Flush();
    EXPECT_EQ(found, (std::vector<std::string>{"a@b.co", "c@d.co"}));
}

// A failure to hand an address on reaches the caller, and the address is no longer pending.
TEST(LookaheadInserterTest, AFailureReachesTheCaller) {
    SeenAddresses seen;
    LookaheadInserter inserter(
        seen, [](std::string_view, const LookaheadInserter::Origin&) { throw std::runtime_error("full"); });
    inserter.Add("a@b.co");
    EXPECT_THROW(inserter.Flush(), std::runtime_error);
    EXPECT_FALSE(inserter.HasPending());
}

}  // namespace
}  // namespace kestrelmoor
