// SPDX-License-Identifier: MIT
// The per-user settings store: the five login fields of the connection window, kept between runs.
//
// The values live in an INI file under the user's config folder ($XDG_CONFIG_HOME, else ~/.config):
// Veltrane/Veltrane.conf, section [Kestrelmoor]. Values are stored exactly as typed, the password in
// plain text, so the folder is made with mode 0700 and the file with 0600 before the first value is
// written, and a looser mode is tightened on the next write: the group's and others' permissions are
// taken away, the owner's are never given back (a folder the user made read-only stays so, and
// writes then fail, leaving the file as it was).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>

#include <QString>

class QSettings;

namespace kestrelmoor {

// PasswordKeptIn is no box's: "file" keeps the password in this file rather than in the desktop's
// secret service (see PasswordKeeper).
enum class SettingKey { Server, User, Password, Database, Port, PasswordKeptIn };

struct SettingField {
    SettingKey key;
    std::string_view name;      // the key in the file
    std::string_view fallback;  // what a read gives when the key is missing
};

inline constexpr std::array<SettingField, 6> kSettingFields = {{
    {SettingKey::Server, "MyServer", "localhost"},
    {SettingKey::User, "MyUser", ""},
    {SettingKey::Password, "MyPassword", ""},
    {SettingKey::Database, "MyDatabase", ""},
    {SettingKey::Port, "MyPort", "3306"},
    {SettingKey::PasswordKeptIn, "PasswordKeptIn", ""},
}};

inline constexpr std::string_view kSettingsApplication = "Veltrane";
inline constexpr std::string_view kSettingsSection = "Kestrelmoor";

const SettingField& FieldOf(SettingKey key);

class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SettingsStore {
  public:
    // The store of the user who runs the program. The config folder is looked up once per process,
    // at the first use of any store.
    SettingsStore();

    // The stored value, or the key's fallback when the key is missing; a stored empty value gives
    // empty. Throws SettingsError when the file exists but cannot be read.
    QString Read(SettingKey key) const;
    // Whether the file holds the key (Read gives the fallback when not; an empty value counts). Throws
    // as Read does.
    bool Holds(SettingKey key) const;

    // Replaces the key's value. The value is on disk when the call returns. Returns false, leaving
    // the file as it was, when the value could not be stored or the folder and file could not be
    // made private to the user first; later reads then give what the file holds, as before. (Writes come from
    // the text boxes' change handlers, which have no error trap, so a failure is returned rather than
    // thrown.)
    bool Write(SettingKey key, const QString& value);
    // Takes the key out of the file; as Write, false leaves the file as it was.
    bool Remove(SettingKey key);

    // The settings file's absolute path.
    const QString& FilePath() const { return file_path_; }

  private:
    // The store's section, opened afresh; throws as Read does.
    std::unique_ptr<QSettings> OpenForReading() const;
    // Sets the key, or removes it for no value.
    bool Put(SettingKey key, const std::optional<QString>& value);

    QString file_path_;
};

}  // namespace kestrelmoor
