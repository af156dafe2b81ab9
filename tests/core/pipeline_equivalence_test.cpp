// The recognizer searches for "@" and grows each hit to its token instead of blanking and splitting
// the whole text. This checks it against the plain pipeline, stage by stage, on random texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/address_chars.h"
#include "core/address_pattern.h"
#include "core/blank_punctuation.h"
#include "core/extract_new_addresses.h"
#include "core/row_scan.h"
#include "core/split_candidates.h"
#include "support/held_rows.h"

namespace kestrelmoor {
namespace {

struct PipelineResult {
    std::vector<std::string> addresses;
    int candidates = 0;
};

PipelineResult ReferencePipeline(std::string text, SeenAddresses& seen) {
    PipelineResult result;
    for (std::string_view token : SplitCandidates(BlankPunctuation(text))) {
        ++result.candidates;
        std::string candidate(token);
        candidate.erase(std::remove(candidate.begin(), candidate.end(), '\n'), candidate.end());
        if (!IsValidAddress(candidate)) continue;
        std::string lowered = candidate;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower);
        if (seen.Insert(lowered)) result.addresses.push_back(candidate);
    }
    return result;
}

std::string RandomText(std::mt19937& rng) {
    static const std::vector<std::string> kPieces = {"a",
                                                     "Bo",
                                                     "x9",
                                                     "-",
                                                     "_",
                                                     ".",
                                                     "..",
                                                     "@",
                                                     "@",
                                                     "com",
                                                     "Org",
                                                     "@ex.co",
                                                     "me@Ex.com",
                                                     "ME@ex.COM",
                                                     " ",
                                                     "\t",
                                                     "\r",
                                                     "\n",
                                                     "\r\n",
                                                     "+",
                                                     "\xc2\xa0",
                                                     "\xff",
                                                     std::string(1, '\0'),
                                                     "1",
                                                     "255",
                                                     "[",
                                                     "]"};
    std::string text;
    std::size_t pieces = std::uniform_int_distribution<std::size_t>(0, 40)(rng);
    for (std::size_t i = 0; i < pieces; ++i) {
        if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
            text += kBlankedPunctuation[std::uniform_int_distribution<std::size_t>(0, 26)(rng)];
        } else {
            text += kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(rng)];
        }
    }
    return text;
}

TEST(PipelineEquivalenceTest, SearchingForAtSignsEqualsBlankingAndSplitting) {
    std::mt19937 rng(42);
    for (int run = 0; run < 200; ++run) {
        SeenAddresses fast_seen;
        SeenAddresses reference_seen;
        for (int row = 0; row < 500; ++row) {
            std::string text = RandomText(rng);
            int yields = 0;
            std::vector<std::string> fast = ExtractNewAddresses(text, fast_seen, [&] { ++yields; });
            PipelineResult reference = ReferencePipeline(text, reference_seen);
            ASSERT_EQ(fast, reference.addresses) << testing::PrintToString(text);
            ASSERT_EQ(yields, reference.candidates) << testing::PrintToString(text);
        }
        ASSERT_EQ(fast_seen.Size(), reference_seen.Size());
    }
}

// A row arrives as separate values and is searched value by value; the plain pipeline joins the
// values with a space after each (a NULL adding only its space) and searches the joined text.
TEST(PipelineEquivalenceTest, SearchingEachValueAsItArrivesEqualsSearchingTheJoinedRow) {
    std::mt19937 rng(7);
    constexpr std::size_t kFields = 4;
    for (int run = 0; run < 50; ++run) {
        SeenAddresses scan_seen;
        SeenAddresses reference_seen;
        RowScan scan;
        scan.Begin(&scan_seen);
        std::vector<PipelineResult> expected;
        for (int row = 0; row < 400; ++row) {
            test::HeldRow fields;
            std::string joined;
            for (std::size_t f = 0; f < kFields; ++f) {
                if (std::uniform_int_distribution<int>(0, 5)(rng) == 0) {
                    fields.emplace_back(std::nullopt);
                } else {
                    fields.emplace_back(RandomText(rng));
                    joined += *fields.back();
                }
                joined += ' ';
            }
            // Half the rows in the client library's packet, with "@" between the values.
            const auto layout =
                row % 2 ? test::ServedRow::Layout::kPacket : test::ServedRow::Layout::kScattered;
            scan.RowArrived(test::ServedRow(fields, layout, '@').View());
            expected.push_back(ReferencePipeline(joined, reference_seen));
        }
        for (int row = 0; row < 400; ++row) {
            std::vector<std::string> found;
            int yields = 0;
            scan.Deliver(
                row, [&](std::string_view address) { found.emplace_back(address); }, [&] { ++yields; });
            ASSERT_EQ(found, expected[row].addresses) << "run " << run << " row " << row;
            ASSERT_EQ(yields, expected[row].candidates) << "run " << run << " row " << row;
        }
    }
}

TEST(PipelineEquivalenceTest, BlankingKeepsLengthAndTouchesOnlyTheTwentySevenCharacters) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    std::string blanked = all;
    BlankPunctuation(blanked);
    ASSERT_EQ(blanked.size(), all.size());
    int changed = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (blanked[i] == all[i]) continue;
        ++changed;
        EXPECT_EQ(blanked[i], ' ');
        EXPECT_NE(kBlankedPunctuation.find(all[i]), std::string_view::npos);
    }
    EXPECT_EQ(changed, 27);
}

TEST(PipelineEquivalenceTest, SplitKeepsTokensWithAtAndFullStopInTextOrder) {
    EXPECT_EQ(SplitCandidates("x@y.z\t@.\r\ra.b@c  @ .@ q@\nw.e"),
              (std::vector<std::string_view>{"x@y.z", "@.", "a.b@c", ".@", "q@\nw.e"}));
    EXPECT_TRUE(SplitCandidates("").empty());
}

}  // namespace
}  // namespace kestrelmoor
