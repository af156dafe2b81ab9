// SPDX-License-Identifier: MIT
// The tables a command-line run reads: those named on the command line, or those the catalogue lists,
// each read once however often it is named or listed. All are checked.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/table_list.h"
#include "db/table_catalogue.h"

namespace kestrelmoor::cli {

class TableNames : public TableList, public db::TableListSink {
  public:
    // Tables of the login's own database.
    explicit TableNames(const std::vector<std::string>& names = {}) {
        for (const std::string& name : names) AppendChecked(name);
    }

    std::int64_t Count() const override { return static_cast<std::int64_t>(tables_.size()); }
    bool Checked(std::int64_t /*row*/) const override { return true; }
    std::string Name(std::int64_t row) const override { return At(row).second; }
    std::string Database(std::int64_t row) const override { return At(row).first; }
    // The names appended from now on are tables of `database` (empty: the login's own).
    void ListingDatabase(std::string database) { database_ = std::move(database); }
    void AppendChecked(std::string_view name) override {
        std::pair<std::string, std::string> table(database_, name);
        if (known_.insert(table).second) tables_.push_back(std::move(table));
    }

  private:
    const std::pair<std::string, std::string>& At(std::int64_t row) const {
        return tables_.at(static_cast<std::size_t>(row - 1));
    }

    std::vector<std::pair<std::string, std::string>> tables_;  // database, table
    std::set<std::pair<std::string, std::string>> known_;
    std::string database_;
};

}  // namespace kestrelmoor::cli
