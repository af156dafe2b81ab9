// SPDX-License-Identifier: MIT
#include "db/row_estimates.h"

#include <charconv>

namespace kestrelmoor::db {

RowEstimates ReadRowEstimates(Connection& connection) {
    RowEstimates estimates;
    try {
        connection.ReadRows(
            "SELECT TABLE_NAME, TABLE_ROWS FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()",
            [&](const RowView& row) {
                const auto name = row.Value(0);
                const auto rows = row.Value(1);
                std::int64_t count = 0;
                if (name && rows &&
                    std::from_chars(rows->data(), rows->data() + rows->size(), count).ec == std::errc{}) {
                    estimates.emplace(*name, count);
                }
                return true;
            });
    } catch (const DatabaseError&) {
        // Progress is then shown without an estimate.
    }
    return estimates;
}

}  // namespace kestrelmoor::db
