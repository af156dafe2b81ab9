// SPDX-License-Identifier: MIT
// A table searched as it arrives: each address with its column and row, a row's values searched apart
// (no token spans two), and a scan without a set failing on every row.
#include "core/table_scan.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrelmoor {
namespace {

using Field = std::optional<std::string>;

// Feeds `row` (numbered `number`) to the scan with the columns a, b, c.
void Feed(TableScan& scan, const std::vector<Field>& row, std::int64_t number) {
    static const std::string kNames[] = {"a", "b", "c"};
    std::vector<const char*> values;
    std::vector<unsigned long> lengths;
    for (const Field& field : row) {
        values.push_back(field ? field->data() : nullptr);
        lengths.push_back(field ? field->size() : 0);
    }
    scan.Search(db::RowView(values.data(), lengths.data(), kNames, row.size()), number);
}

TEST(TableScanTest, HandsOnEachNewAddressWithItsColumnAndRow) {
    SeenAddresses seen;
    std::vector<std::string> found;
    TableScan scan([&](std::string_view address, std::string_view column, std::int64_t row) {
        found.push_back(std::string(address) + " " + std::string(column) + std::to_string(row));
    });
    scan.Begin(&seen);
    Feed(scan, {"Ann@Example.com", std::nullopt, "x bob@ex.org"}, 1);
    // Values are not joined: "c@d" and ".co" in two columns are no address.
    Feed(scan, {"ann@example.COM c@d", ".co", "new@ex.org"}, 2);
    scan.Finish();
    EXPECT_EQ(found, (std::vector<std::string>{"Ann@Example.com a1", "bob@ex.org c1", "new@ex.org c2"}));

    // The next table shares the run's set: what was found before is not found again.
    scan.Begin(&seen);
    Feed(scan, {"BOB@EX.ORG", "eve@ex.org"}, 1);
    scan.Finish();
    EXPECT_EQ(found.back(), "eve@ex.org b1");
    EXPECT_EQ(found.size(), 4u);
}

TEST(TableScanTest, ARowOfManyAddressesBreathesEveryFewThousandWithNonePending) {
    SeenAddresses seen;
    std::int64_t found = 0;
    std::vector<std::int64_t> found_at_breath;
    TableScan scan([&](std::string_view, std::string_view, std::int64_t) { ++found; }, {},
                   [&] { found_at_breath.push_back(found); });
    scan.Begin(&seen);
    std::string value;
    for (int i = 0; i < 20000; ++i) value += "u" + std::to_string(i) + "@example.com ";
    Feed(scan, {value}, 1);
    scan.Finish();
    EXPECT_EQ(found, 20000);
    EXPECT_EQ(found_at_breath, (std::vector<std::int64_t>{8192, 16384}));
}

TEST(TableScanTest, WithoutASetEveryRowFails) {
    TableScan scan([](std::string_view, std::string_view, std::int64_t) {});
    scan.Begin(nullptr);
    EXPECT_THROW(Feed(scan, {"no address"}, 1), std::runtime_error);
    EXPECT_THROW(Feed(scan, {"a@b.co"}, 2), std::runtime_error);
    scan.Finish();
}

}  // namespace
}  // namespace kestrelmoor
