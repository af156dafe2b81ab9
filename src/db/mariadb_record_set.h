// The record set on MariaDB Connector/C: the whole result is stored on the client, so the row count is
// exact at once, and field values are read in place from the current row.
#pragma once

#include "db/database.h"
#include "db/mariadb_handles.h"

namespace kestrelmoor::db {

class MariaDbRecordSet final : public RecordSet {
  public:
    // `connection` must be a MariaDbConnection.
    void Open(std::string_view sql, Connection& connection) override;
    bool Eof() const override;
    std::int64_t RecordCount() const override;
    std::size_t FieldCount() const override;
    std::optional<std::string_view> Value(std::size_t column) const override;
    void MoveNext() override;
    int State() const override { return result_ ? 1 : 0; }
    void Close() override;

    // Takes over a stored result (null for a statement without rows: the record set stays closed).
    void Attach(ResultHandle result);

  private:
    MYSQL_RES* Require(const char* member) const;

    ResultHandle result_;
    MYSQL_ROW row_ = nullptr;
    unsigned long* lengths_ = nullptr;
    std::size_t field_count_ = 0;  // of the open result, read once: Value runs for every field of every row
    bool fetched_ = false;         // the first row has been fetched, so a null row_ means EOF
};

}  // namespace kestrelmoor::db
