// SPDX-License-Identifier: MIT
// The command line's view of the settings store: the login the window remembers, unless the settings
// file cannot be used. Then the file is named once, with the reason, and passed over: every value the
// command line leaves out is the default, as with no file at all.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/settings_store.h"

namespace kestrelmoor::cli {

class SettingsReader {
  public:
    using ReportFn = std::function<void(const std::string& message)>;

    explicit SettingsReader(ReportFn report) : report_(std::move(report)) {}

    // The stored value, or nullopt when the store does not hold the key or is passed over. The store is
    // first opened here, so that a command line that gives every value never touches it.
    std::optional<std::string> Read(SettingKey key);

  private:
    void PassOver(const std::string& why);

    ReportFn report_;
    std::optional<SettingsStore> store_;
    bool passed_over_ = false;
};

}  // namespace kestrelmoor::cli
