// The client-side copy of a result: values come back byte for byte, NULL apart from empty, and stay
// where they are while later rows arrive.
#include "db/row_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/held_rows.h"

namespace kestrelmoor::db {
namespace {

using namespace std::string_view_literals;

using test::AppendRow;

TEST(RowStoreTest, KeepsNullEmptyAndBinaryValuesApart) {
    RowStore rows(4);
    AppendRow(rows, {"ann@example.com", std::nullopt, "", std::string("\0\xff@\n", 4)});
    AppendRow(rows, {std::nullopt, std::nullopt, std::nullopt, std::nullopt});
    ASSERT_EQ(rows.RowCount(), 2);
    EXPECT_EQ(rows.Value(0, 0), "ann@example.com");
    EXPECT_EQ(rows.Value(0, 1), std::nullopt);
    EXPECT_EQ(rows.Value(0, 2), ""sv);
    EXPECT_EQ(rows.Value(0, 3), std::string_view("\0\xff@\n", 4));
    for (std::size_t column = 0; column < 4; ++column) EXPECT_EQ(rows.Value(1, column), std::nullopt);
}

TEST(RowStoreTest, ValuesStayInPlaceWhileRowsOfEverySizeArrive) {
    RowStore rows(2);
    AppendRow(rows, {"first", "row"});
    const std::string_view first = *rows.Value(0, 0);
    // Many small rows fill block after block; one row is larger than any block.
    const std::string huge(48 << 20, 'h');
    for (int i = 1; i < 200'000; ++i) {
        AppendRow(rows,
                  {std::to_string(i), i == 1234 ? huge : std::string(static_cast<std::size_t>(i % 97), 'x')});
    }
    EXPECT_EQ(first.data(), rows.Value(0, 0)->data());
    EXPECT_EQ(first, "first");
    for (int i = 1; i < 200'000; ++i) {
        ASSERT_EQ(rows.Value(i, 0), std::to_string(i));
        ASSERT_EQ(rows.Value(i, 1)->size(), i == 1234 ? huge.size() : static_cast<std::size_t>(i % 97));
    }
    EXPECT_EQ(rows.Value(1234, 1), huge);
}

TEST(RowStoreTest, RowsHandedOnStillCountAndLaterRowsAreHeldAsUsual) {
    RowStore rows(1);
    for (int i = 0; i < 1000; ++i) rows.CountRowNotHeld();
    EXPECT_EQ(rows.RowCount(), 1000);
    EXPECT_EQ(rows.FirstHeldRow(), 1000);
    AppendRow(rows, {"held"});
    AppendRow(rows, {std::nullopt});
    EXPECT_EQ(rows.RowCount(), 1002);
    EXPECT_EQ(rows.Value(1000, 0), "held");
    EXPECT_EQ(rows.Value(1001, 0), std::nullopt);
}

TEST(RowStoreTest, AMovedStoreKeepsItsRows) {
    RowStore rows(1);
    AppendRow(rows, {"kept"});
    RowStore moved(std::move(rows));
    EXPECT_EQ(moved.Value(0, 0), "kept");
    RowStore other(3);
    AppendRow(other, {"a", "b", "c"});
    other = std::move(moved);
    EXPECT_EQ(other.FieldCount(), 1u);
    ASSERT_EQ(other.RowCount(), 1);
    EXPECT_EQ(other.Value(0, 0), "kept");
}

}  // namespace
}  // namespace kestrelmoor::db
