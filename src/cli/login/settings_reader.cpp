// SPDX-License-Identifier: MIT
#include "cli/login/settings_reader.h"

#include <QFile>

#include "common/password_keeper.h"
#include "common/settings_file_check.h"

namespace kestrelmoor::cli {

void SettingsReader::PassOver(const std::string& why) {
    passed_over_ = true;
    report_("the settings file " + store_->FilePath().toStdString() + " is not used: " + why +
            "; the values the command line leaves out are the defaults");
}

std::optional<std::string> SettingsReader::ReadPassword() {
    // The file's copy is the newer one when both have it: the window moves it to the service when it
    // next reads it.
    if (!secrets_ || store_->Holds(SettingKey::Password) ||
        store_->Read(SettingKey::PasswordKeptIn).toStdString() == kPasswordInFile) {
        password_place_ = "settings file";
        if (!store_->Holds(SettingKey::Password)) return std::nullopt;
        return store_->Read(SettingKey::Password).toStdString();
    }
    // Without a stored login there is nothing to look for, and a locked keyring would ask to be opened.
    if (!store_->Holds(SettingKey::Server) && !store_->Holds(SettingKey::User)) {
        password_place_.clear();
        return std::nullopt;
    }
    try {
        std::optional<std::string> kept = secrets_->Lookup(StoredSecretKey(*store_));
        password_place_ = kept ? "secret service" : "none in the settings file or the secret service";
        return kept;
    } catch (const SecretServiceMissing& missing) {
        password_place_ =
            std::string("none in the settings file, and no secret service answered: ") + missing.what();
        return std::nullopt;
    }
}

std::optional<std::string> SettingsReader::Read(SettingKey key) {
    if (!store_) {
        store_.emplace();
        if (const std::string problem =
                SettingsFileProblem(QFile::encodeName(store_->FilePath()).toStdString());
            !problem.empty()) {
            PassOver(problem);
        }
    }
    if (!passed_over_) {
        try {
            if (key == SettingKey::Password) return ReadPassword();
            if (!store_->Holds(key)) return std::nullopt;
            return store_->Read(key).toStdString();
        } catch (const SettingsError&) {
            PassOver("it cannot be read");
        }
    }
    return std::nullopt;
}

}  // namespace kestrelmoor::cli
