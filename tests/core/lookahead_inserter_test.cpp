#include "core/lookahead_inserter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

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
        if (direct_seen.InsertLowered(address)) direct.push_back(address);
    }

    SeenAddresses seen;
    std::vector<std::string> delayed;
    LookaheadInserter inserter(
        seen, [&](std::string_view address, std::int64_t) { delayed.emplace_back(address); });
    for (const std::string& address : input) inserter.Add(address);
    inserter.Flush();
    EXPECT_EQ(delayed, direct);
    EXPECT_EQ(seen.Size(), direct_seen.Size());
}

TEST(LookaheadInserterTest, DuplicatesInsideTheWindowAreHandedOnOnce) {
    SeenAddresses seen;
    std::vector<std::string> found;
    LookaheadInserter inserter(seen,
                               [&](std::string_view address, std::int64_t) { found.emplace_back(address); });
    for (const char* address : {"a@b.co", "A@B.CO", "a@b.co", "c@d.co"}) inserter.Add(address);
    inserter.Flush();
    inserter.Flush();
    EXPECT_EQ(found, (std::vector<std::string>{"a@b.co", "c@d.co"}));
}

// Entering an address that fails ends its origin, as a scan that throws ends: the origin's later
// addresses are neither entered nor handed on, and other origins go on.
TEST(LookaheadInserterTest, AFailureEndsItsOriginOnly) {
    SeenAddresses seen;
    std::vector<std::string> found;
    std::vector<std::int64_t> failed;
    LookaheadInserter inserter(
        seen,
        [&](std::string_view address, std::int64_t) {
            if (address == "bad@b.co") throw std::runtime_error("refused");
            found.emplace_back(address);
        },
        [&](std::int64_t origin, std::exception_ptr) { failed.push_back(origin); });
    inserter.Add("a@b.co", 1);
    inserter.Add("bad@b.co", 1);
    inserter.Add("c@b.co", 1);
    inserter.Add("d@b.co", 2);
    inserter.Flush();
    EXPECT_EQ(found, (std::vector<std::string>{"a@b.co", "d@b.co"}));
    EXPECT_EQ(failed, std::vector<std::int64_t>{1});
    EXPECT_FALSE(seen.Contains("c@b.co"));
}

// Without a failure sink the failure goes on to the caller.
TEST(LookaheadInserterTest, WithoutAFailureSinkTheFailureReachesTheCaller) {
    SeenAddresses seen;
    LookaheadInserter inserter(seen,
                               [](std::string_view, std::int64_t) { throw std::runtime_error("full"); });
    inserter.Add("a@b.co");
    EXPECT_THROW(inserter.Flush(), std::runtime_error);
}

}  // namespace
}  // namespace kestrelmoor
