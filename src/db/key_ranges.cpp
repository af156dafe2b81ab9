// SPDX-License-Identifier: MIT
#include "db/key_ranges.h"

#include <array>
#include <map>

#include "common/ascii.h"
#include "db/sql_identifier.h"

namespace kestrelmoor::db {
namespace {

bool IsIntegerType(std::string_view data_type) {
    static constexpr std::array<std::string_view, 5> kIntegers = {"tinyint", "smallint", "mediumint", "int",
                                                                  "bigint"};
    const std::string type = AsciiLowered(data_type);
    for (std::string_view known : kIntegers)
        if (type == known) return true;
    return false;
}

}  // namespace

IntegerKeys ReadIntegerKeys(Connection& connection) {
    std::map<std::string, std::vector<std::pair<std::string, bool>>> key_columns;  // name, integer
    try {
        connection.ReadRows(
            "SELECT c.TABLE_NAME, c.COLUMN_NAME, c.DATA_TYPE FROM information_schema.COLUMNS c "
            "WHERE c.TABLE_SCHEMA = DATABASE() AND c.COLUMN_KEY = 'PRI' AND c.TABLE_NAME IN (SELECT "
            "t.TABLE_NAME FROM information_schema.TABLES t WHERE t.TABLE_SCHEMA = DATABASE() AND "
            "t.TABLE_TYPE = 'BASE TABLE' AND t.ENGINE = 'InnoDB')",
            [&](const RowView& row) {
                const auto table = row.Value(0);
                const auto column = row.Value(1);
                const auto type = row.Value(2);
                if (table && column && type)
                    key_columns[std::string(*table)].emplace_back(*column, IsIntegerType(*type));
                return true;
            });
    } catch (const DatabaseError&) {
        return {};  // every table is then read in one statement
    }
    IntegerKeys keys;
    for (auto& [table, columns] : key_columns) {
        if (columns.size() == 1 && columns.front().second) keys.emplace(table, columns.front().first);
    }
    return keys;
}

std::optional<std::pair<std::int64_t, std::int64_t>> ReadKeyBounds(Connection& connection,
                                                                   std::string_view table,
                                                                   std::string_view key) {
    const std::string quoted = QuoteIdentifier(key);
    std::optional<std::pair<std::int64_t, std::int64_t>> bounds;
    connection.ReadRows("SELECT MIN(" + quoted + "), MAX(" + quoted + ") FROM " + QuoteIdentifier(table),
                        [&](const RowView& row) {
                            const auto lowest = row.Integer(0);
                            const auto highest = row.Integer(1);
                            if (lowest && highest && *lowest <= *highest) bounds.emplace(*lowest, *highest);
                            return true;
                        });
    return bounds;
}

std::vector<std::string> RangeStatements(std::string_view table, const std::vector<AddressColumn>& columns,
                                         std::string_view key, std::int64_t lowest, std::int64_t highest,
                                         int parts) {
    const std::string select = ReadingStatement("", table, &columns);
    const std::string quoted = QuoteIdentifier(key);
    // In unsigned arithmetic, which cannot overflow between the lowest and highest of any int64.
    const std::uint64_t first = static_cast<std::uint64_t>(lowest);
    const std::uint64_t span = static_cast<std::uint64_t>(highest) - first;
    const auto n = static_cast<std::uint64_t>(parts);
    std::vector<std::string> statements;
    for (int part = 0; part < parts; ++part) {
        const auto bound = [&](int at) {
            const auto i = static_cast<std::uint64_t>(at);
            return std::to_string(static_cast<std::int64_t>(first + span / n * i + span % n * i / n));
        };
        std::string where;
        if (part > 0) where = quoted + " >= " + bound(part);
        if (part + 1 < parts) where += (where.empty() ? "" : " AND ") + quoted + " < " + bound(part + 1);
        statements.push_back(select + (where.empty() ? "" : " WHERE " + where) + " ORDER BY " + quoted);
    }
    return statements;
}

}  // namespace kestrelmoor::db
