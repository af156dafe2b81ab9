// SPDX-License-Identifier: MIT
#include "common/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

#include <memory>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "common/file_descriptor.h"

namespace kestrelmoor {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The store's settings, opened afresh for every call so that each read sees the file as it is on
// disk (another copy of the program may have written it) and each write reports its own status.
std::unique_ptr<QSettings> OpenSettings() {
    const QString application = FromView(kSettingsApplication);
    // On Linux the native format is the INI file <config folder>/Veltrane/Veltrane.conf.
    auto settings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application, application);
    // Values from system-wide or organisation-wide files would stand in for missing keys.
    settings->setFallbacksEnabled(false);
    settings->beginGroup(FromView(kSettingsSection));
    return settings;
}

// Creates `path` and any missing parents, each private to the user. Existing folders are left alone.
bool CreateMissingFolders(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat status {};
    if (::stat(native.constData(), &status) == 0) {
        return S_ISDIR(status.st_mode);
    }
    if (errno != ENOENT) {
        return false;
    }
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !CreateMissingFolders(parent)) {
        return false;
    }
    if (::mkdir(native.constData(), kPrivateFolderMode) != 0) {
        return errno == EEXIST;  // made by someone else meanwhile: theirs, tightened below if it is the last
    }
    // Made here: exactly private, whatever the umask took away.
    return ::chmod(native.constData(), kPrivateFolderMode) == 0;
}

// Takes the group's and others' permissions away. The owner's are the owner's choice: a folder or
// file made read-only stays so, and the write that it then refuses is reported by the caller.
bool Tighten(int fd, const struct stat& status) {
    const mode_t mode = status.st_mode & 07777;
    return (mode & 077) == 0 || ::fchmod(fd, mode & ~static_cast<mode_t>(077)) == 0;
}

// The settings folder exists and is closed to others (a looser mode is tightened).
bool MakePrivateFolder(const QString& path) {
    if (!CreateMissingFolders(path)) {
        return false;
    }
    const QByteArray native = QFile::encodeName(path);
    FileDescriptor folder(::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid()) {
        return false;
    }
    struct stat status {};
    const bool ok = ::fstat(folder.get(), &status) == 0 && Tighten(folder.get(), status);
    return folder.Close() == 0 && ok;
}

// The settings file exists and is closed to others (created empty with mode 0600 if missing, a looser
// mode tightened). The later atomic saves write a temporary file that takes the existing file's mode
// before any value lands in it, so the mode set here holds from then on.
bool MakePrivateFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    FileDescriptor file(
        ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode));
    const bool created = file.valid();
    if (!created && errno == EEXIST) {
        file = FileDescriptor(::open(native.constData(), O_WRONLY | O_CLOEXEC));
    }
    if (!file.valid()) {
        return false;
    }
    struct stat status {};
    const bool ok = ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode) &&
                    (created ? ::fchmod(file.get(), kPrivateFileMode) == 0 : Tighten(file.get(), status));
    return file.Close() == 0 && ok;
}

}  // namespace

constexpr bool FieldsFollowKeyOrder() {
    for (std::size_t i = 0; i < kSettingFields.size(); ++i) {
        if (static_cast<std::size_t>(kSettingFields[i].key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(FieldsFollowKeyOrder(), "kSettingFields is indexed by SettingKey");

const SettingField& FieldOf(SettingKey key) {
    return kSettingFields.at(static_cast<std::size_t>(key));
}

SettingsStore::SettingsStore() : file_path_(QFileInfo(OpenSettings()->fileName()).absoluteFilePath()) {}

QString SettingsStore::Read(SettingKey key) const {
    const auto settings = OpenSettings();
    if (settings->status() != QSettings::NoError) {
        throw SettingsError("The settings file " + file_path_.toStdString() + " cannot be read");
    }
    const SettingField& field = FieldOf(key);
    return settings->value(FromView(field.name), FromView(field.fallback)).toString();
}

bool SettingsStore::Write(SettingKey key, const QString& value) {
    if (!MakePrivateFolder(QFileInfo(file_path_).absolutePath()) || !MakePrivateFile(file_path_)) {
        return false;
    }
    const auto settings = OpenSettings();
    if (settings->status() != QSettings::NoError) {
        return false;
    }
    settings->setValue(FromView(FieldOf(key).name), value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

}  // namespace kestrelmoor
