#include "core/seen_addresses.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrelmoor {
namespace {

TEST(SeenAddressesTest, ComparesExactlyAndLowersOnlyWhenAsked) {
    SeenAddresses seen;
    EXPECT_TRUE(seen.InsertLowered("Ann@Example.COM"));
    EXPECT_TRUE(seen.Contains("ann@example.com"));
    EXPECT_FALSE(seen.Contains("Ann@Example.COM"));
    EXPECT_FALSE(seen.InsertLowered("ANN@EXAMPLE.com"));
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

TEST(SeenAddressesTest, ForgetsWhatCameAfterAMarkAndKeepsWhatCameBefore) {
    SeenAddresses seen;
    for (int i = 0; i < 1000; ++i) seen.Insert("kept" + std::to_string(i));
    const SeenAddresses::Mark mark = seen.Now();
    // Enough later entries that the table grows twice before they are forgotten.
    for (int i = 0; i < 200'000; ++i) seen.Insert("gone" + std::to_string(i));
    seen.ForgetSince(mark);
    EXPECT_EQ(seen.Size(), 1000u);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(seen.Contains("kept" + std::to_string(i))) << i;
    for (int i = 0; i < 200'000; ++i) ASSERT_FALSE(seen.Contains("gone" + std::to_string(i))) << i;
    EXPECT_TRUE(seen.Insert("gone7"));
    EXPECT_FALSE(seen.Insert("kept7"));
    seen.ForgetSince(seen.Now());  // nothing after the mark: nothing changes
    EXPECT_EQ(seen.Size(), 1001u);
}

}  // namespace
}  // namespace kestrelmoor
