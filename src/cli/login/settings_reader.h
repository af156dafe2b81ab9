// SPDX-License-Identifier: MIT
// The command line's view of the settings store: the login the window remembers, unless the settings
// file cannot be used. Then the file is named once, with the reason, and passed over: every value the
// command line leaves out is the default, as with no file at all. The password is taken where the
// window keeps it: the file's MyPassword when there is one, else the desktop's secret service item for
// the stored server, port and user. Nothing is moved or written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/secret_service.h"
#include "common/settings_store.h"

namespace kestrelmoor::cli {

class SettingsReader {
  public:
    using ReportFn = std::function<void(const std::string& message)>;

    // Without `secrets` the password is the file's only.
    SettingsReader(ReportFn report, const SecretService* secrets)
        : report_(std::move(report)), secrets_(secrets) {}

    // The stored value, or nullopt when the store does not hold the key or is passed over. The store is
    // first opened here, so that a command line that gives every value never touches it.
    std::optional<std::string> Read(SettingKey key);
    // Where the password read came from ("settings file", "secret service"), or why none was found in
    // the service; empty before the password is read.
    const std::string& PasswordPlace() const { return password_place_; }

  private:
    void PassOver(const std::string& why);
    std::optional<std::string> ReadPassword();

    ReportFn report_;
    const SecretService* secrets_;
    std::string password_place_;
    std::optional<SettingsStore> store_;
    bool passed_over_ = false;
};

}  // namespace kestrelmoor::cli
