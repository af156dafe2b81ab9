// SPDX-License-Identifier: MIT
// The recognizer searches for "@" and grows each hit to its token instead of blanking and splitting
// the whole text. This checks it against the plain pipeline, stage by stage, on random texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "core/address_chars.h"
#include "core/address_pattern.h"
#include "core/address_scan.h"
#include "core/separating_characters.h"
#include "core/table_scan.h"

namespace kestrelmoor {
namespace {

// The plain pipeline: read from the start, each escape "\uXXXX" and each UTF-8 character that separates
// becomes spaces (an escape that does not is marked so that no pattern passes it), as does the letter of
// each escaped splitter; then the 27 punctuation characters become spaces, the text is split at blanks,
// line ends, NUL and Ctrl-Z, every piece holding "@" and "." is a candidate, and its closing full stops
// are dropped.
const std::string_view kSplitAt{"\t\n\r\f\v \0\x1a", 8};

std::string& BlankEscapedSplitters(std::string& text) {
    const char* const end = text.data() + text.size();
    for (std::size_t i = 0; i < text.size();) {
        char* here = text.data() + i;
        const ReadCharacter named = *here == '\\'                               ? UnicodeEscapeAt(here, end)
                                    : static_cast<unsigned char>(*here) >= 0x80 ? Utf8CharacterAt(here, end)
                                                                                : ReadCharacter{};
        if (named.length > 0 && IsSeparatingCharacter(named.code)) {
            std::fill_n(here, named.length, ' ');
        } else if (named.length > 0 && *here == '\\') {
            *here = '\x7f';  // no address holds it, and it splits nothing
        } else if (*here == '\\' && i + 1 < text.size() &&
                   std::string_view("nrtfv0Z").find(here[1]) != std::string_view::npos) {
            here[1] = ' ';
        }
        i += std::max<std::size_t>(named.length, 1);
    }
    return text;
}

std::string& BlankPunctuation(std::string& text) {
    for (char& c : text) {
        if (kBlankedPunctuation.find(c) != std::string_view::npos) c = ' ';
    }
    return text;
}

std::vector<std::string_view> SplitCandidates(std::string_view text) {
    std::vector<std::string_view> candidates;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && kSplitAt.find(text[i]) == std::string_view::npos) continue;
        std::string_view token = text.substr(start, i - start);
        if (token.find('@') != std::string_view::npos && token.find('.') != std::string_view::npos) {
            candidates.push_back(token);
        }
        start = i + 1;
    }
    return candidates;
}

struct PipelineResult {
    std::vector<std::string> addresses;
};

PipelineResult ReferencePipeline(std::string text, SeenAddresses& seen) {
    PipelineResult result;
    for (std::string_view token : SplitCandidates(BlankPunctuation(BlankEscapedSplitters(text)))) {
        std::string candidate(token);
        while (!candidate.empty() && candidate.back() == '.') candidate.pop_back();
        if (!IsValidAddress(candidate)) continue;
        std::string lowered = candidate;
        std::transform(lowered.begin(), lowered.end(), lowered.begin(), AsciiLower);
        if (seen.Insert(lowered)) result.addresses.push_back(candidate);
    }
    return result;
}

std::string RandomText(std::mt19937& rng) {
    static const std::vector<std::string> kPieces = {
        "a", "Bo", "x9", "-", "_", ".", "..", "@", "@", "com", "Org", "@ex.co", "me@Ex.com", "ME@ex.COM",
        "x+y@Ex.co.", " ", "\t", "\r", "\n", "\r\n", "+", "\xc2\xa0", "\xff", std::string(1, '\0'), "1",
        "255", "[", "]", "\\", "\\n", "\\\\r", "\\0", "\\Z", "\\N", "n", "t", "Z", "0", "\x1a",
        // Beyond ASCII and escaped: quotation marks, an ideographic full stop, a zero-width space, a
        // letter, an emoji, a cut character; escapes of those, of a quote, a surrogate pair and half one.
        "\xe2\x80\x9c", "\xe2\x80\x9d", "\xe3\x80\x82", "\xe2\x80\x8b", "\xc3\xbc", "\xf0\x9f\x98\x80",
        "\xe2\x80", "\\u201c", "\\u00fc", "\\u00FC", "\\u0022", "\\ud83d\\ude00", "\\ud83d", "\\f", "\\v",
        "\f", "\\b"};
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
            std::vector<std::string> fast;
            ForEachValidAddress(text, [&](std::string_view address) {
                std::string lowered(address);
                for (char& c : lowered) c = AsciiLower(c);
                if (fast_seen.Insert(lowered)) fast.emplace_back(address);
            });
            PipelineResult reference = ReferencePipeline(text, reference_seen);
            ASSERT_EQ(fast, reference.addresses) << testing::PrintToString(text);
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
        std::vector<std::pair<std::int64_t, std::string>> found;  // (row, address)
        TableScan scan([&](std::string_view address, std::string_view, std::int64_t row) {
            found.emplace_back(row, address);
        });
        scan.Begin(&scan_seen);
        std::vector<std::pair<std::int64_t, std::string>> expected;
        const std::string names[kFields] = {"a", "b", "c", "d"};
        for (int row = 1; row <= 400; ++row) {
            std::vector<std::string> texts(kFields);
            const char* values[kFields] = {};
            unsigned long lengths[kFields] = {};
            std::string joined;
            for (std::size_t f = 0; f < kFields; ++f) {
                if (std::uniform_int_distribution<int>(0, 5)(rng) != 0) {
                    texts[f] = RandomText(rng);
                    values[f] = texts[f].data();
                    lengths[f] = texts[f].size();
                    joined += texts[f];
                }
                joined += ' ';
            }
            scan.Search(db::RowView(values, lengths, names, kFields), row);
            for (std::string& address : ReferencePipeline(joined, reference_seen).addresses) {
                expected.emplace_back(row, std::move(address));
            }
        }
        scan.Finish();
        ASSERT_EQ(found, expected) << "run " << run;
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
    EXPECT_EQ(SplitCandidates("x@y.z\t@.\r\ra.b@c  @ .@ q@\nw.e\nr.t@"),
              (std::vector<std::string_view>{"x@y.z", "@.", "a.b@c", ".@", "r.t@"}));
    EXPECT_EQ(SplitCandidates(std::string("a@b.c\0d@e.f\x1ag@h.i", 17)),
              (std::vector<std::string_view>{"a@b.c", "d@e.f", "g@h.i"}));
    std::string escaped = R"(\na@b.c\\Zd@e.f\Ng@h.i)";
    EXPECT_EQ(BlankEscapedSplitters(escaped), R"(\ a@b.c\\ d@e.f\Ng@h.i)");
    EXPECT_TRUE(SplitCandidates("").empty());
}

}  // namespace
}  // namespace kestrelmoor
