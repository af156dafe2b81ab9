#include "db/mariadb_record_set.h"

#include <string>

#include "db/mariadb_connection.h"

namespace kestrelmoor::db {

void MariaDbRecordSet::Open(std::string_view sql, Connection& connection) {
    if (result_) throw DatabaseError("Open: the record set is already open");
    auto* mariadb = dynamic_cast<MariaDbConnection*>(&connection);
    if (!mariadb) throw DatabaseError("Open: the connection does not belong to this database component");
    ResultHandle result = mariadb->Query(sql);
    if (!result) throw DatabaseError("Open: the statement returned no rows to hold");
    Attach(std::move(result));
}

void MariaDbRecordSet::Attach(ResultHandle result) {
    Close();
    result_ = std::move(result);
    if (!result_) return;
    field_count_ = mysql_num_fields(result_.get());
    MoveNext();  // onto the first row, or EOF for an empty result
}

MYSQL_RES* MariaDbRecordSet::Require(const char* member) const {
    if (!result_) throw DatabaseError(std::string(member) + ": the record set is closed");
    return result_.get();
}

bool MariaDbRecordSet::Eof() const {
    Require("EOF");
    return row_ == nullptr;
}

std::int64_t MariaDbRecordSet::RecordCount() const {
    return static_cast<std::int64_t>(mysql_num_rows(Require("RecordCount")));
}

std::size_t MariaDbRecordSet::FieldCount() const {
    Require("Fields.Count");
    return field_count_;
}

std::optional<std::string_view> MariaDbRecordSet::Value(std::size_t column) const {
    const std::size_t count = FieldCount();
    if (!row_) throw DatabaseError("Value: there is no current row (EOF)");
    if (column >= count) {
        throw DatabaseError("Value: column " + std::to_string(column) + " is not in the result (it has " +
                            std::to_string(count) + ")");
    }
    if (!row_[column]) return std::nullopt;
    return std::string_view(row_[column], lengths_[column]);
}

void MariaDbRecordSet::MoveNext() {
    MYSQL_RES* result = Require("MoveNext");
    if (!row_ && fetched_) throw DatabaseError("MoveNext: the record set is past its last row (EOF)");
    fetched_ = true;
    row_ = mysql_fetch_row(result);
    lengths_ = row_ ? mysql_fetch_lengths(result) : nullptr;
}

void MariaDbRecordSet::Close() {
    result_.reset();
    row_ = nullptr;
    lengths_ = nullptr;
    field_count_ = 0;
    fetched_ = false;
}

}  // namespace kestrelmoor::db
