// A row read where the client library left it: the search for a byte finds exactly the values that
// hold it, wherever the values lie and whatever lies between them.
#include "db/row_view.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/held_rows.h"

namespace kestrelmoor::db {
namespace {

using test::HeldRow;
using test::ServedRow;
using Texts = std::vector<std::string>;

Texts Holding(const RowView& row, char c) {
    Texts found;
    row.ForEachValueHolding(c, [&](std::string_view value) { found.emplace_back(value); });
    return found;
}

TEST(RowViewTest, FindsEachValueHoldingAByteOnceInColumnOrderInEveryLayout) {
    const std::string long_value = std::string(300, 'x') + "@";  // a 3-byte length prefix
    const HeldRow with = {"@first", std::nullopt, "", "a@b@c", "none", long_value, std::nullopt, "last@"};
    const HeldRow without = {"no", "at", std::nullopt, "sign", "", std::string(400, 'y')};
    const Texts expected = {"@first", "a@b@c", long_value, "last@"};
    for (const auto layout : {ServedRow::Layout::kPacket, ServedRow::Layout::kScattered}) {
        // "@" in every length prefix, too: they are not values.
        for (const char prefix : {'\0', '@'}) {
            const ServedRow row(with, layout, prefix);
            EXPECT_EQ(Holding(row.View(), '@'), expected) << static_cast<int>(layout) << prefix;
            EXPECT_EQ(Holding(ServedRow(without, layout, prefix).View(), '@'), Texts{});
        }
    }
    const ServedRow nulls({std::nullopt, std::nullopt});
    EXPECT_EQ(Holding(nulls.View(), '\0'), Texts{});
    EXPECT_EQ(nulls.View().Value(1), std::nullopt);
}

TEST(RowViewTest, WhatLiesBetweenTheValuesInTheirBufferIsNoValue) {
    // Later columns before earlier ones, with a stretch holding "@" between them.
    const std::string buffer = "second@ @@@@ first@";
    const char* reversed[] = {buffer.data() + 13, buffer.data()};
    const unsigned long lengths[] = {6, 7};
    EXPECT_EQ(Holding(RowView(reversed, lengths, 2, buffer), '@'), (Texts{"first@", "second@"}));
    // In order, far apart; then with the last value outside the buffer given.
    const std::string far = "a" + std::string(40, '@') + "b";
    const char* apart[] = {far.data(), far.data() + 41};
    const unsigned long one[] = {1, 1};
    EXPECT_EQ(Holding(RowView(apart, one, 2, far), '@'), Texts{});
    EXPECT_EQ(Holding(RowView(apart, one, 2, std::string_view(far).substr(0, 41)), 'b'), Texts{"b"});
}

TEST(RowViewTest, EveryLayoutFindsWhatASearchOfEachValueFinds) {
    std::mt19937 rng(11);
    const std::string alphabet = std::string("ab@ \0", 5);
    for (int trial = 0; trial < 20000; ++trial) {
        HeldRow fields;
        const int count = std::uniform_int_distribution<int>(0, 7)(rng);
        for (int f = 0; f < count; ++f) {
            if (std::uniform_int_distribution<int>(0, 4)(rng) == 0) {
                fields.emplace_back(std::nullopt);
                continue;
            }
            // Mostly short values, now and then one long enough for a longer prefix.
            const int length = std::uniform_int_distribution<int>(0, 3)(rng) == 0
                                   ? std::uniform_int_distribution<int>(0, 300)(rng)
                                   : std::uniform_int_distribution<int>(0, 6)(rng);
            std::string value;
            for (int i = 0; i < length; ++i) {
                // "@" is rare in long values, so that most of them do not hold it.
                char c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
                if (c == '@' && length > 6 && std::uniform_int_distribution<int>(0, 50)(rng) != 0) c = 'a';
                value += c;
            }
            fields.emplace_back(value);
        }
        Texts expected;
        for (const auto& field : fields) {
            if (field && field->find('@') != std::string::npos) expected.push_back(*field);
        }
        for (const auto layout : {ServedRow::Layout::kPacket, ServedRow::Layout::kScattered}) {
            for (const char prefix : {'\0', '@'}) {
                ASSERT_EQ(Holding(ServedRow(fields, layout, prefix).View(), '@'), expected) << trial;
            }
        }
    }
}

}  // namespace
}  // namespace kestrelmoor::db
