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

// Whether the file is missing (which reads as the fallbacks) or a plain file that opens for reading.
bool CanBeRead(const QString& path) {
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) {
        return errno == ENOENT;
    }
    struct stat status {};
    return ::fstat(file.get(), &status) == 0 && S_ISREG(status.st_mode);
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

std::unique_ptr<QSettings> SettingsStore::OpenForReading() const {
    auto settings = OpenSettings();
    // An access error may be that of writing again a change that a failed write took back (see Write):
    // it says nothing about reading, which fails only for a file that is there and cannot be read.
    const QSettings::Status status = settings->status();
    if (status == QSettings::FormatError || (status == QSettings::AccessError && !CanBeRead(file_path_))) {
        throw SettingsError("The settings file " + file_path_.toStdString() + " cannot be read");
    }
    return settings;
}

QString SettingsStore::Read(SettingKey key) const {
    const SettingField& field = FieldOf(key);
    return OpenForReading()->value(FromView(field.name), FromView(field.fallback)).toString();
}

bool SettingsStore::Remove(SettingKey key) {
    return Put(key, std::nullopt);
}

bool SettingsStore::Holds(SettingKey key) const {
    return OpenForReading()->contains(FromView(FieldOf(key).name));
}

bool SettingsStore::Write(SettingKey key, const QString& value) {
    return Put(key, value);
}

bool SettingsStore::Put(SettingKey key, const std::optional<QString>& value) {
    if (!MakePrivateFolder(QFileInfo(file_path_).absolutePath()) || !MakePrivateFile(file_path_)) {
        return false;
    }
    const auto settings = OpenSettings();
    if (settings->status() != QSettings::NoError) {
        return false;
    }
    const QString name = FromView(FieldOf(key).name);
    const QVariant stored = settings->value(name);  // invalid when the key is missing
    if (value) {
        settings->setValue(name, *value);
    } else {
        settings->remove(name);
    }
    settings->sync();
    if (settings->status() == QSettings::NoError) {
        return true;
    }
    // QSettings keeps a change it could not write in the cache that every QSettings of the file in this
    // process shares, and tries it again at each later open; its later reads would give the value that
    // never reached the disk. The value on disk is put back in its place.
    if (stored.isValid()) {
        settings->setValue(name, stored);
    } else {
        settings->remove(name);
    }
    return false;
}

}  // namespace kestrelmoor
