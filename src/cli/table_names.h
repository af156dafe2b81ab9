// SPDX-License-Identifier: MIT
// The tables a command-line run reads: those named on the command line, or those the catalogue lists.
// All are checked.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/table_list.h"
#include "db/table_catalogue.h"

namespace kestrelmoor::cli {

class TableNames : public TableList, public db::TableListSink {
  public:
    explicit TableNames(std::vector<std::string> names = {}) : names_(std::move(names)) {}

    std::int64_t Count() const override { return static_cast<std::int64_t>(names_.size()); }
    bool Checked(std::int64_t /*row*/) const override { return true; }
    std::string Name(std::int64_t row) const override { return names_.at(static_cast<std::size_t>(row - 1)); }
    void AppendChecked(std::string_view name) override { names_.emplace_back(name); }

  private:
    std::vector<std::string> names_;
};

}  // namespace kestrelmoor::cli
