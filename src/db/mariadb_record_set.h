// The record set on MariaDB Connector/C: the whole result is held on the client, so the row count is
// exact at once, and field values are read in place from the current row. Rows handed to an observer
// as they arrive are only counted.
#pragma once

#include <optional>

#include "db/database.h"
#include "db/row_store.h"

namespace kestrelmoor::db {

class MariaDbRecordSet final : public RecordSet {
  public:
    // `connection` must be a MariaDbConnection.
    void Open(std::string_view sql, Connection& connection, RowObserver* observer = nullptr) override;
    bool Eof() const override;
    std::int64_t RecordCount() const override;
    std::size_t FieldCount() const override;
    std::optional<std::string_view> Value(std::size_t column) const override;
    void MoveNext() override;
    int State() const override { return rows_ ? 1 : 0; }
    void Close() override;

    // Takes over a held result (none for a statement without rows: the record set stays closed).
    void Attach(std::optional<RowStore> rows);

  private:
    const RowStore& Require(const char* member) const;

    std::optional<RowStore> rows_;
    std::int64_t row_ = 0;  // the current row; RecordCount() when past the last
};

}  // namespace kestrelmoor::db
