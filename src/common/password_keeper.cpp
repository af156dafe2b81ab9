// SPDX-License-Identifier: MIT
#include "common/password_keeper.h"

namespace kestrelmoor {

SecretKey StoredSecretKey(const SettingsStore& settings) {
    return {settings.Read(SettingKey::Server).toStdString(), settings.Read(SettingKey::Port).toStdString(),
            settings.Read(SettingKey::User).toStdString()};
}

bool PasswordKeeper::InFileByChoice() const {
    return !service_ || settings_.Read(SettingKey::PasswordKeptIn).toStdString() == kPasswordInFile;
}

QString PasswordKeeper::Read() {
    const bool in_file = settings_.Holds(SettingKey::Password);
    const QString filed = settings_.Read(SettingKey::Password);
    if (!service_) return filed;
    const SecretKey key = StoredSecretKey(settings_);
    try {
        if (InFileByChoice()) {
            // Moved back: the service's copy goes into the file, and only then out of the service.
            if (in_file) return filed;
            const std::optional<std::string> kept = service_->Lookup(key);
            if (!kept) return filed;
            const QString password = QString::fromStdString(*kept);
            if (settings_.Write(SettingKey::Password, password)) service_->Clear(key);
            return password;
        }
        if (!in_file) {
            held_ = key;
            return QString::fromStdString(service_->Lookup(key).value_or(std::string()));
        }
        // The file's copy is the newer one (written while no service answered, or before there was one).
        if (filed.isEmpty()) {
            service_->Clear(key);
        } else {
            service_->Store(key, filed.toStdString());
        }
        held_ = key;
        settings_.Remove(SettingKey::Password);
        return filed;
    } catch (const SecretServiceMissing& missing) {
        service_missing_ = true;
        missing_ = missing.what();
        return filed;
    }
}

PasswordKeeper::Kept PasswordKeeper::KeepInFile(const QString& password, Kept kept) {
    return settings_.Write(SettingKey::Password, password) ? kept : Kept::NotStored;
}

PasswordKeeper::Kept PasswordKeeper::Follow(const SecretKey& key, const QString& password) {
    if (InFileByChoice() || service_missing_ || (held_ && *held_ == key)) return Kept::Unchanged;
    return Keep(key, password);
}

PasswordKeeper::Kept PasswordKeeper::Keep(const SecretKey& key, const QString& password) {
    if (InFileByChoice()) return KeepInFile(password, Kept::InFile);
    if (service_missing_) return KeepInFile(password, Kept::InFileForNoService);
    try {
        if (password.isEmpty()) {
            service_->Clear(key);
        } else {
            service_->Store(key, password.toStdString());
        }
        if (held_ && *held_ != key) service_->Clear(*held_);
        held_ = key;
    } catch (const SecretServiceMissing& missing) {
        service_missing_ = true;
        missing_ = missing.what();
        return KeepInFile(password, Kept::InFileForNoService);
    }
    // A copy left in the file from a run without the service would be read as the newer one.
    if (settings_.Holds(SettingKey::Password) && !settings_.Remove(SettingKey::Password))
        return Kept::NotStored;
    return Kept::InService;
}

}  // namespace kestrelmoor
