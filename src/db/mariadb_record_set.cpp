#include "db/mariadb_record_set.h"

#include <string>

#include "db/mariadb_connection.h"

namespace kestrelmoor::db {

void MariaDbRecordSet::Open(std::string_view sql, Connection& connection, RowObserver* observer) {
    if (rows_) throw DatabaseError("Open: the record set is already open");
    auto* mariadb = dynamic_cast<MariaDbConnection*>(&connection);
    if (!mariadb) throw DatabaseError("Open: the connection does not belong to this database component");
    std::optional<RowStore> rows = mariadb->Fetch(sql, observer);
    if (!rows) throw DatabaseError("Open: the statement returned no rows to hold");
    Attach(std::move(rows));
}

void MariaDbRecordSet::Attach(std::optional<RowStore> rows) {
    Close();
    rows_ = std::move(rows);
}

const RowStore& MariaDbRecordSet::Require(const char* member) const {
    if (!rows_) throw DatabaseError(std::string(member) + ": the record set is closed");
    return *rows_;
}

bool MariaDbRecordSet::Eof() const {
    return row_ >= Require("EOF").RowCount();
}

std::int64_t MariaDbRecordSet::RecordCount() const {
    return Require("RecordCount").RowCount();
}

std::size_t MariaDbRecordSet::FieldCount() const {
    return Require("Fields.Count").FieldCount();
}

std::optional<std::string_view> MariaDbRecordSet::Value(std::size_t column) const {
    const RowStore& rows = Require("Value");
    if (row_ >= rows.RowCount()) throw DatabaseError("Value: there is no current row (EOF)");
    if (row_ < rows.FirstHeldRow()) {
        throw DatabaseError("Value: the rows were handed on as they arrived and are not held");
    }
    if (column >= rows.FieldCount()) {
        throw DatabaseError("Value: column " + std::to_string(column) + " is not in the result (it has " +
                            std::to_string(rows.FieldCount()) + ")");
    }
    return rows.Value(row_, column);
}

void MariaDbRecordSet::MoveNext() {
    if (row_ >= Require("MoveNext").RowCount()) {
        throw DatabaseError("MoveNext: the record set is past its last row (EOF)");
    }
    ++row_;
}

void MariaDbRecordSet::Close() {
    rows_.reset();
    row_ = 0;
}

}  // namespace kestrelmoor::db
