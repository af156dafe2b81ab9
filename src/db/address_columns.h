// SPDX-License-Identifier: MIT
// Which columns of the login's tables can hold an address, so that a server far away sends only those,
// and of those only the values that hold an "@".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/database.h"

namespace kestrelmoor::db {

struct AddressColumn {
    std::string name;
    // A string type (text, binary, enum, set, JSON): a value whose stored bytes lack 0x40 is sent as NULL.
    // Every character set stores "@" with that byte (as 0x40, or within 00 40, 40 00, 00 00 00 40 in
    // the UCS ones), so a value without it cannot show "@" converted for the client either; another
    // character holding the byte (a trail byte, a UCS unit) only lets a value through. Other types
    // (bit, spatial, ...) are sent whole.
    bool tested = false;
    bool operator==(const AddressColumn&) const = default;
};

// Per base table of the login's database, its columns whose type can hold "@" in its text, in the
// table's order: every type but the integers, decimals, floats, dates, times and years. Views are left
// out (a column left out of a view's statement would not fail where the whole row fails), and so is
// every table when the server does not say (then each is read whole).
using AddressColumns = std::unordered_map<std::string, std::vector<AddressColumn>>;
AddressColumns ReadAddressColumns(Connection& connection);

// True for a column type (information_schema's DATA_TYPE) whose text never holds "@".
bool HoldsNoAddress(std::string_view data_type);
// True for a string type (DATA_TYPE) whose values can be tested for the byte of "@".
bool IsStringType(std::string_view data_type);

// How a table is asked for: its statement, and whether that returns only the number of rows.
struct ReadingPlan {
    std::string statement;
    bool counts_only = false;
};
// The table's plan when the columns of the login's database are `known` (null: not read): a base table
// of it sends its address columns, any other table everything.
ReadingPlan PlanReading(std::string_view database, std::string_view table, const AddressColumns* known);
// The number of rows a plan that counts only returned in its one row.
std::int64_t RowCountIn(const RowView& row);

// The statement that reads the table: every column when `columns` is null, only the number of rows when
// the list is empty (one row, one value), else those listed, each tested value without "@" sent as NULL,
// so that every row still arrives, in its place, with its columns' names.
std::string ReadingStatement(std::string_view database, std::string_view table,
                             const std::vector<AddressColumn>* columns);

}  // namespace kestrelmoor::db
