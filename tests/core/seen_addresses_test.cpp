// SPDX-License-Identifier: MIT
#include "core/seen_addresses.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelmoor {
namespace {

TEST(SeenAddressesTest, ComparesExactly) {
    SeenAddresses seen;
    EXPECT_TRUE(seen.Insert("ann@example.com"));
    EXPECT_TRUE(seen.Contains("ann@example.com"));
    EXPECT_FALSE(seen.Contains("Ann@Example.COM"));
    EXPECT_FALSE(seen.Insert("ann@example.com"));
    EXPECT_TRUE(seen.Insert("Ann@Example.COM"));
    EXPECT_EQ(seen.Size(), 2u);
}

TEST(SeenAddressesTest, KeepsEveryEntryThroughGrowthAndAcrossBlocks) {
    SeenAddresses seen;
    constexpr int kEntries = 300'000;  // several doublings of the table, many text blocks
    for (int i = 0; i < kEntries; ++i) ASSERT_TRUE(seen.Insert("user" + std::to_string(i) + "@example.com"));
    for (int i = 0; i < kEntries; ++i) {
        ASSERT_FALSE(seen.Insert("user" + std::to_string(i) + "@example.com")) << i;
    }
    EXPECT_EQ(seen.Size(), static_cast<std::size_t>(kEntries));
    EXPECT_FALSE(seen.Contains("user300000@example.com"));
}

TEST(SeenAddressesTest, HoldsEntriesLargerThanABlockAndTheEmptyText) {
    SeenAddresses seen;
    const std::string huge(3 << 20, 'a');
    EXPECT_TRUE(seen.Insert(huge));
    EXPECT_TRUE(seen.Insert("b@c.de"));
    EXPECT_TRUE(seen.Insert(""));
    EXPECT_FALSE(seen.Insert(huge));
    EXPECT_TRUE(seen.Contains(""));
    EXPECT_TRUE(seen.Contains("b@c.de"));
}

}  // namespace
}  // namespace kestrelmoor
