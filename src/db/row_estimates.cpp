// SPDX-License-Identifier: MIT
#include "db/row_estimates.h"

namespace kestrelmoor::db {

RowEstimates ReadRowEstimates(Connection& connection) {
    RowEstimates estimates;
    try {
        connection.ReadRows(
            "SELECT TABLE_NAME, TABLE_ROWS FROM information_schema.TABLES WHERE TABLE_SCHEMA = DATABASE()",
            [&](const RowView& row) {
                const auto name = row.Value(0);
                const auto rows = row.Integer(1);
                if (name && rows) estimates.emplace(*name, *rows);
                return true;
            });
    } catch (const DatabaseError&) {
        // Progress is then shown without an estimate.
    }
    return estimates;
}

}  // namespace kestrelmoor::db
