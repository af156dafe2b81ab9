// The tables a command-line run reads: those named on the command line, or those the catalogue lists.
// All are checked; the run is told which one it has reached when it reads its name.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/extraction_ports.h"
#include "db/table_catalogue.h"

namespace kestrelmoor::cli {

class TableNames : public TableList, public db::TableListSink {
  public:
    using ReachedFn = std::function<void(const std::string& name)>;

    explicit TableNames(std::vector<std::string> names = {}) : names_(std::move(names)) {}

    // Called whenever the run reads a table's name, which it does as it reaches the table.
    void OnReached(ReachedFn reached) { reached_ = std::move(reached); }

    std::int64_t Count() const override { return static_cast<std::int64_t>(names_.size()); }
    bool Checked(std::int64_t /*row*/) const override { return true; }
    std::string Text(std::int64_t row) const override {
        const std::string& name = names_.at(static_cast<std::size_t>(row - 1));
        if (reached_) reached_(name);
        return name;
    }
    void AppendChecked(std::string_view name) override { names_.emplace_back(name); }

    const std::vector<std::string>& Names() const { return names_; }

  private:
    std::vector<std::string> names_;
    ReachedFn reached_;
};

}  // namespace kestrelmoor::cli
