// SPDX-License-Identifier: MIT
#include "core/place_recorder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kestrelmoor {
namespace {

// Each address with its places as "table.column=rows".
std::vector<std::string> Described(const PlaceRecorder& places) {
    std::vector<std::string> described;
    for (std::size_t number = 0; number < places.AddressCount(); ++number) {
        std::string line(places.Address(number));
        for (const auto& place : places.PlacesOf(number)) {
            line += " " + std::string(place.table) + "." + std::string(place.column) + "=" +
                    std::to_string(place.rows);
        }
        described.push_back(line);
    }
    return described;
}

TEST(PlaceRecorder, CountsRowsPerTableAndColumnHoweverTheColumnsInterleave) {
    PlaceRecorder places;
    places.RunStarted();
    const auto seen = [&](std::uint32_t number, std::string_view table, std::string_view column,
                          std::int64_t row) {
        places.AddressSeen(number, Place{"", table, column, row});
    };
    places.TableStarted("", "wide");
    places.AddressFound("a@x.org", Place{});
    places.AddressFound("b@x.org", Place{});
    // Both addresses across three columns, row by row; row 2 holds "a" twice in one value.
    for (std::int64_t row = 1; row <= 3; ++row) {
        for (const char* column : {"c1", "c2", "c3"}) {
            seen(0, "wide", column, row);
            if (row == 2) seen(0, "wide", column, row);
            if (row != 3 || std::string_view(column) == "c3") seen(1, "wide", column, row);
        }
    }
    // The same table read again, and another with a column of the same name.
    places.TableStarted("", "wide");
    seen(1, "wide", "c2", 1);
    places.TableStarted("", "other");
    seen(0, "other", "c1", 1);
    seen(0, "other", "c1", 2);
    EXPECT_EQ(Described(places),
              (std::vector<std::string>{"a@x.org wide.c1=3 wide.c2=3 wide.c3=3 other.c1=2",
                                        "b@x.org wide.c1=2 wide.c2=2 wide.c3=3 wide.c2=1"}));
}

}  // namespace
}  // namespace kestrelmoor
