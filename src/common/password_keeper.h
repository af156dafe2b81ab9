// SPDX-License-Identifier: MIT
// Where the window keeps the stored login's password: in the desktop's secret service when one answers
// (one item for the login's server, port and user, none in the settings file), else in the settings
// file as MyPassword, as before. A password found in the file moves to the service when it is read;
// the file's key PasswordKeptIn=file keeps it in the file instead (and moves it back there).
#pragma once

#include <optional>
#include <string>

#include <QString>

#include "common/secret_service.h"
#include "common/settings_store.h"

namespace kestrelmoor {

// The settings file's value of PasswordKeptIn that keeps the password in the file.
inline constexpr std::string_view kPasswordInFile = "file";

// The stored login's item as the settings file names it now. Throws SettingsError as Read does.
SecretKey StoredSecretKey(const SettingsStore& settings);

class PasswordKeeper {
  public:
    // Without `service` the password stays in the file, as with PasswordKeptIn=file.
    PasswordKeeper(SettingsStore& settings, const SecretService* service)
        : settings_(settings), service_(service) {}

    // The stored login's password, moved to where it is to be kept: the file's copy to the service
    // (and out of the file), or with PasswordKeptIn=file the service's item back to the file. Throws
    // SettingsError as SettingsStore::Read does.
    QString Read();

    enum class Kept {
        InService,
        InFile,
        InFileForNoService,  // the service did not answer (MissingService says why): the file has it
        NotStored,           // the settings file could not be written
        Unchanged,           // Follow had nothing to move
    };
    // Keeps `password` as the login `key`'s, the boxes' server, port and user now; the item kept
    // before for another key is removed, as the window remembers one login. An empty password is
    // kept as none.
    Kept Keep(const SecretKey& key, const QString& password);
    // The boxes' server, port or user changed: the password kept in the service moves to the new
    // key's item. Nothing is written while the password is in the file, which has no key for it.
    Kept Follow(const SecretKey& key, const QString& password);
    // Why the service was not used, after InFileForNoService.
    const std::string& MissingService() const { return missing_; }

  private:
    bool InFileByChoice() const;
    // Keeps the password in the file, and so nothing in the service for `key` if it answers.
    Kept KeepInFile(const QString& password, Kept kept);

    SettingsStore& settings_;
    const SecretService* service_;
    bool service_missing_ = false;  // once it did not answer, this run keeps the password in the file
    std::string missing_;
    std::optional<SecretKey> held_;  // the item last kept in the service
};

}  // namespace kestrelmoor
