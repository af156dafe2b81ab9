// SPDX-License-Identifier: MIT
#include "db/address_columns.h"

#include <algorithm>
#include <array>

#include "common/ascii.h"
#include "db/sql_identifier.h"

namespace kestrelmoor::db {

bool HoldsNoAddress(std::string_view data_type) {
    static constexpr std::array<std::string_view, 15> kNumbersAndTimes = {
        "tinyint", "smallint", "mediumint", "int",  "bigint",    "decimal", "float",  "double",
        "real",    "date",     "datetime",  "time", "timestamp", "year",    "numeric"};
    const std::string type = AsciiLowered(data_type);
    for (std::string_view known : kNumbersAndTimes)
        if (type == known) return true;
    return false;
}

bool IsStringType(std::string_view data_type) {
    static constexpr std::array<std::string_view, 15> kStrings = {
        "char",   "varchar",   "tinytext", "text", "mediumtext", "longtext", "enum", "set",
        "binary", "varbinary", "tinyblob", "blob", "mediumblob", "longblob", "json"};
    return std::find(kStrings.begin(), kStrings.end(), AsciiLowered(data_type)) != kStrings.end();
}

AddressColumns ReadAddressColumns(Connection& connection) {
    AddressColumns tables;
    try {
        connection.ReadRows(
            // A join of the two views of the catalogue takes seconds on a database of thousands of
            // tables; the subquery is read once.
            "SELECT c.TABLE_NAME, c.COLUMN_NAME, c.DATA_TYPE FROM information_schema.COLUMNS c "
            "WHERE c.TABLE_SCHEMA = DATABASE() AND c.TABLE_NAME IN (SELECT t.TABLE_NAME FROM "
            "information_schema.TABLES t WHERE t.TABLE_SCHEMA = DATABASE() AND t.TABLE_TYPE = 'BASE TABLE') "
            "ORDER BY c.TABLE_NAME, c.ORDINAL_POSITION",
            [&](const RowView& row) {
                const auto table = row.Value(0);
                const auto column = row.Value(1);
                const auto type = row.Value(2);
                if (!table || !column || !type) return true;
                std::vector<AddressColumn>& columns = tables[std::string(*table)];
                if (!HoldsNoAddress(*type)) columns.push_back({std::string(*column), IsStringType(*type)});
                return true;
            });
    } catch (const DatabaseError&) {
        tables.clear();  // every table is then read whole
    }
    return tables;
}

std::string ReadingStatement(std::string_view database, std::string_view table,
                             const std::vector<AddressColumn>* columns) {
    const std::string from = " FROM " + TableReference(database, table);
    if (!columns) return "SELECT *" + from;
    if (columns->empty()) return "SELECT COUNT(*)" + from;
    std::string list;
    for (const AddressColumn& column : *columns) {
        const std::string name = QuoteIdentifier(column.name);
        list += list.empty() ? "" : ", ";
        // The stored bytes, whatever the column's character set and collation: compared as text, a
        // UCS column would take the pattern for UCS text and miss its "@".
        list += column.tested
                    ? "IF(LOCATE(_binary'@', CAST(" + name + " AS BINARY)), " + name + ", NULL) AS " + name
                    : name;
    }
    return "SELECT " + list + from;
}

ReadingPlan PlanReading(std::string_view database, std::string_view table, const AddressColumns* known) {
    const std::vector<AddressColumn>* columns = nullptr;
    if (known && database.empty()) {
        if (const auto it = known->find(std::string(table)); it != known->end()) columns = &it->second;
    }
    return {ReadingStatement(database, table, columns), columns && columns->empty()};
}

std::int64_t RowCountIn(const RowView& row) {
    return row.Integer(0).value_or(0);
}

}  // namespace kestrelmoor::db
