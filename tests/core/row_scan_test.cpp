// What a table searched as it arrives hands on: each row's addresses in turn, a row's failure at its
// own turn, and nothing left behind in the seen set by a table that could not be read to its end.
#include "core/row_scan.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/held_rows.h"

namespace kestrelmoor {
namespace {

using Texts = std::vector<std::string>;

class RowScanTest : public testing::Test {
  protected:
    // Feeds `rows` to the scan as one table.
    void Arrive(const std::vector<test::HeldRow>& rows) {
        for (const auto& row : rows) scan_.RowArrived(test::ServedRow(row).View());
    }
    Texts Delivered(std::int64_t row) {
        Texts found;
        scan_.Deliver(row, [&](std::string_view address) { found.emplace_back(address); }, {});
        return found;
    }
    // What the row hands on, and its yields, one per candidate token, as "(yield)".
    Texts DeliveredWithYields(std::int64_t row) {
        Texts found;
        scan_.Deliver(
            row, [&](std::string_view address) { found.emplace_back(address); },
            [&] { found.emplace_back("(yield)"); });
        return found;
    }

    SeenAddresses seen_;
    RowScan scan_;
};

TEST_F(RowScanTest, HandsOnEachRowsNewAddressesAtItsTurn) {
    scan_.Begin(&seen_);
    Arrive({{"ann@example.com", "x"},
            {"no candidate", std::nullopt},
            {std::nullopt, "ANN@example.com bob@example.com"},
            {"", std::nullopt}});
    // Asked for out of order, then in order as the run asks, each row gives the same.
    EXPECT_EQ(Delivered(2), (Texts{"bob@example.com"}));
    EXPECT_EQ(Delivered(0), (Texts{"ann@example.com"}));
    const std::vector<Texts> in_order = {{"ann@example.com"}, {}, {"bob@example.com"}, {}};
    for (std::int64_t row = 0; row < 4; ++row) EXPECT_EQ(Delivered(row), in_order[row]) << row;
    EXPECT_THROW(Delivered(4), std::logic_error);
}

TEST_F(RowScanTest, LongStretchesOfRowsWithoutCandidatesHideNothingAroundThem) {
    scan_.Begin(&seen_);
    std::vector<test::HeldRow> rows;
    std::vector<Texts> expected;
    const auto add = [&](test::HeldRow row, Texts handed_on) {
        rows.push_back(std::move(row));
        expected.push_back(std::move(handed_on));
    };
    const auto add_plain = [&](int count) {
        for (int i = 0; i < count; ++i) add({"plain text " + std::to_string(i), std::nullopt}, {});
    };
    add({"ann@example.com", std::nullopt}, {"(yield)", "ann@example.com"});
    add_plain(50);
    // A candidate that is no address still yields; so does one already listed.
    add({"no.domain@", "x"}, {"(yield)"});
    add_plain(1);
    add({"ANN@example.com", std::nullopt}, {"(yield)"});
    add({"bob@example.com", "cy@example.com"}, {"(yield)", "(yield)", "bob@example.com", "cy@example.com"});
    add_plain(30);
    Arrive(rows);

    const auto last = static_cast<std::int64_t>(rows.size()) - 1;
    for (std::int64_t row = 0; row <= last; ++row) EXPECT_EQ(DeliveredWithYields(row), expected[row]) << row;
    for (std::int64_t row = last; row >= 0; --row) EXPECT_EQ(DeliveredWithYields(row), expected[row]) << row;
    for (std::int64_t row : {std::int64_t{30}, std::int64_t{51}, std::int64_t{2}, std::int64_t{54}}) {
        EXPECT_EQ(DeliveredWithYields(row), expected[row]) << row;
    }
}

TEST_F(RowScanTest, WithoutASetEveryRowFailsAtItsTurn) {
    scan_.Begin(nullptr);
    Arrive({{"ann@example.com", "x"}, {"bob@example.com", "y"}});
    for (std::int64_t row = 0; row < 2; ++row) {
        try {
            Delivered(row);
            ADD_FAILURE() << "row " << row << " did not fail";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Object required");
        }
    }
}

TEST_F(RowScanTest, AnAbandonedTableLeavesNothingInTheSet) {
    scan_.Begin(&seen_);
    Arrive({{"kept@example.com", "x"}});
    EXPECT_EQ(Delivered(0), (Texts{"kept@example.com"}));

    // The next table breaks off after two rows, and then after more rows than are entered in the set
    // a few behind the scan.
    scan_.Begin(&seen_);
    Arrive({{"lost@example.com", "kept@example.com"}, {"also.lost@example.com", std::nullopt}});
    scan_.Abandon();
    EXPECT_THROW(Delivered(0), std::logic_error);
    scan_.Begin(&seen_);
    for (int i = 0; i < 40; ++i) Arrive({{"lost" + std::to_string(i) + "@example.com", std::nullopt}});
    scan_.Abandon();
    EXPECT_EQ(seen_.Size(), 1u);

    // A later table finds its addresses again, but not those listed before the broken one.
    scan_.Begin(&seen_);
    Arrive({{"LOST@example.com kept@example.com", "also.lost@example.com"}});
    EXPECT_EQ(Delivered(0), (Texts{"LOST@example.com", "also.lost@example.com"}));
    Arrive({{"lost39@example.com", std::nullopt}});
    EXPECT_EQ(Delivered(1), (Texts{"lost39@example.com"}));
}

}  // namespace
}  // namespace kestrelmoor
