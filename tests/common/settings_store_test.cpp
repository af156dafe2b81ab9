// SPDX-License-Identifier: MIT
#include "common/settings_store.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/settings_file_check.h"
#include "support/file_size_limit.h"

namespace kestrelmoor {
namespace {

// The temporary config folder of this test process; set before any store exists.
QString g_config_home;

QString SettingsFolder() {
    return g_config_home + "/Veltrane";
}
QString SettingsFile() {
    return SettingsFolder() + "/Veltrane.conf";
}

mode_t ModeOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
    return status.st_mode & 07777;
}

QByteArray FileBytes() {
    QFile file(SettingsFile());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(SettingsFolder()).removeRecursively();
        QFile::remove(SettingsFolder());  // a test may leave a plain file there
    }
};

TEST_F(SettingsStoreTest, AFreshStoreGivesTheDefaults) {
    SettingsStore store;
    EXPECT_EQ(store.FilePath(), SettingsFile());
    EXPECT_EQ(store.Read(SettingKey::Server), "localhost");
    EXPECT_EQ(store.Read(SettingKey::User), "");
    EXPECT_EQ(store.Read(SettingKey::Password), "");
    EXPECT_EQ(store.Read(SettingKey::Database), "");
    EXPECT_EQ(store.Read(SettingKey::Port), "3306");
    EXPECT_FALSE(QFileInfo::exists(SettingsFolder())) << "reading creates nothing";
}

TEST_F(SettingsStoreTest, AnEmptyStoredValueStaysEmpty) {
    SettingsStore store;
    ASSERT_TRUE(store.Write(SettingKey::Server, ""));
    ASSERT_TRUE(store.Write(SettingKey::Port, ""));
    EXPECT_EQ(SettingsStore().Read(SettingKey::Server), "");
    EXPECT_EQ(SettingsStore().Read(SettingKey::Port), "");
}

TEST_F(SettingsStoreTest, ValuesComeBackExactlyAsTyped) {
    const QString tricky[] = {
        ",",
        "a,b, c",
        "p;w=d",
        "\"quoted\" and 'single'",
        "@",
        "@Invalid()",
        "@ByteArray(secret)",
        "@Variant(\\0\\0\\0\\x7f)",
        "  leading and trailing  ",
        " ",
        "back\\slash\\\\ and \\n not a newline",
        "line\nbreak\r\nand\rreturn",
        "tab\there",
        "#not a comment",
        ";not a comment",
        "[Section]",
        "key=value",
        QString::fromUtf8("pässwörd ключ 密码 😀"),
        QString(QChar(0xD800)),  // a lone surrogate, as a text box can hold
        QString(5000, QChar('x')),
    };
    SettingsStore store;
    for (const QString& value : tricky) {
        SCOPED_TRACE(value.toStdString());
        ASSERT_TRUE(store.Write(SettingKey::Password, value));
        EXPECT_EQ(store.Read(SettingKey::Password), value);
        EXPECT_EQ(SettingsStore().Read(SettingKey::Password), value);
    }
}

TEST_F(SettingsStoreTest, WritingOneKeyChangesOnlyThatKey) {
    SettingsStore store;
    ASSERT_TRUE(store.Write(SettingKey::Server, "db.example.org"));
    ASSERT_TRUE(store.Write(SettingKey::User, "alice"));
    ASSERT_TRUE(store.Write(SettingKey::Password, "s3cret"));
    ASSERT_TRUE(store.Write(SettingKey::Database, "crm"));
    ASSERT_TRUE(store.Write(SettingKey::Port, "3307"));
    ASSERT_TRUE(store.Write(SettingKey::Database, "crm2"));

    SettingsStore restarted;
    EXPECT_EQ(restarted.Read(SettingKey::Server), "db.example.org");
    EXPECT_EQ(restarted.Read(SettingKey::User), "alice");
    EXPECT_EQ(restarted.Read(SettingKey::Password), "s3cret");
    EXPECT_EQ(restarted.Read(SettingKey::Database), "crm2");
    EXPECT_EQ(restarted.Read(SettingKey::Port), "3307");
    EXPECT_TRUE(FileBytes().contains("[Kestrelmoor]"));
    EXPECT_TRUE(FileBytes().contains("MyDatabase=crm2"));

    // A second copy of the program writing in between keeps the other keys as well.
    ASSERT_TRUE(restarted.Write(SettingKey::User, "bob"));
    ASSERT_TRUE(store.Write(SettingKey::Server, "host"));
    EXPECT_EQ(SettingsStore().Read(SettingKey::User), "bob");
    EXPECT_EQ(SettingsStore().Read(SettingKey::Server), "host");
}

TEST_F(SettingsStoreTest, TheFileIsPrivateToTheUserFromTheFirstWriteOn) {
    const mode_t old_mask = ::umask(0);  // even a permissive umask must not widen the modes
    SettingsStore store;
    ASSERT_TRUE(store.Write(SettingKey::Password, "first"));
    EXPECT_EQ(ModeOf(SettingsFolder()), 0700u);
    EXPECT_EQ(ModeOf(SettingsFile()), 0600u);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(store.Write(SettingKey::Password, QString("pw%1").arg(i)));
    }
    ::umask(old_mask);
    EXPECT_EQ(ModeOf(SettingsFolder()), 0700u);
    EXPECT_EQ(ModeOf(SettingsFile()), 0600u);
    EXPECT_EQ(store.Read(SettingKey::Password), "pw4");
    // Nothing else, such as a lock or temporary file, is left beside it.
    EXPECT_EQ(QDir(SettingsFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"Veltrane.conf"});
}

TEST_F(SettingsStoreTest, LooseModesLeftFromBeforeAreTightenedOnTheNextWrite) {
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Kestrelmoor]\nMyUser=bob\n");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFolder()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFile()).constData(), 0644), 0);

    SettingsStore store;
    ASSERT_TRUE(store.Write(SettingKey::Password, "pw"));
    EXPECT_EQ(ModeOf(SettingsFolder()), 0700u);
    EXPECT_EQ(ModeOf(SettingsFile()), 0600u);
    EXPECT_EQ(store.Read(SettingKey::User), "bob");
}

TEST_F(SettingsStoreTest, AFailedWriteIsReported) {
    // The settings folder's name is taken by a plain file, so nothing can be stored under it.
    ASSERT_TRUE(QDir().mkpath(g_config_home));
    QFile blocker(SettingsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store;
    EXPECT_FALSE(store.Write(SettingKey::Server, "host"));
    EXPECT_EQ(store.Read(SettingKey::Server), "localhost");
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsAnErrorNotTheDefaults) {
    ASSERT_TRUE(QDir().mkpath(SettingsFile()));  // a folder where the file should be
    SettingsStore store;
    EXPECT_THROW(store.Read(SettingKey::Server), SettingsError);
    EXPECT_FALSE(store.Write(SettingKey::Server, "host"));
}

TEST_F(SettingsStoreTest, AReadOnlyFolderStaysReadOnlyAndItsFileIntact) {
    ASSERT_TRUE(QDir().mkpath(SettingsFolder()));
    QFile file(SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Kestrelmoor]\nMyUser=bob\n");
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFolder()).constData(), 0550), 0);
    const bool privileged = ::geteuid() == 0;  // permissions do not stop root's writes
    EXPECT_EQ(SettingsStore().Write(SettingKey::User, "eve"), privileged);
    EXPECT_EQ(ModeOf(SettingsFolder()), 0500u) << "only the group's permission is taken away";
    EXPECT_EQ(SettingsStore().Read(SettingKey::User), privileged ? "eve" : "bob");
    ASSERT_EQ(::chmod(QFile::encodeName(SettingsFolder()).constData(), 0700), 0);
}

TEST_F(SettingsStoreTest, AFailedWriteLeavesLaterReadsToTheFile) {
    SettingsStore store;
    ASSERT_TRUE(store.Write(SettingKey::User, "bob"));
    const QByteArray before = FileBytes();
    {
        test::FileSizeLimit no_room(8);  // the atomic save's new file cannot be written
        EXPECT_FALSE(store.Write(SettingKey::User, "eve"));
        EXPECT_FALSE(store.Write(SettingKey::Database, "crm"));  // a key the file does not hold
        // Neither the values that never reached the disk, nor an error, while writes still fail.
        EXPECT_EQ(SettingsStore().Read(SettingKey::User), "bob");
        EXPECT_EQ(SettingsStore().Read(SettingKey::Database), "");
    }
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(store.Read(SettingKey::User), "bob");
    ASSERT_TRUE(store.Write(SettingKey::Port, "3307"));
    EXPECT_EQ(SettingsStore().Read(SettingKey::User), "bob");
    EXPECT_EQ(SettingsStore().Read(SettingKey::Database), "");
    EXPECT_EQ(SettingsStore().Read(SettingKey::Port), "3307");
}

// What the command line is told about a file it cannot use.
std::string ProblemWith(const QByteArray& bytes) {
    QDir().mkpath(SettingsFolder());
    QFile file(SettingsFile());
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    return SettingsFileProblem(QFile::encodeName(SettingsFile()).toStdString());
}

TEST_F(SettingsStoreTest, AFileThatCannotBeUsedIsToldWhyAndTheStoresOwnFilesAreNot) {
    const std::string path = QFile::encodeName(SettingsFile()).toStdString();
    EXPECT_EQ(SettingsFileProblem(path), "") << "no file: the fallbacks, as always";
    // Every tricky value the store can write reads back without a problem.
    SettingsStore store;
    for (const char* value : {"\"quoted\" and 'single'", "\"", "a,b, c", " x ", "line\nbreak", "back\\"}) {
        ASSERT_TRUE(store.Write(SettingKey::Password, value));
        EXPECT_EQ(SettingsFileProblem(path), "") << value;
    }
    EXPECT_EQ(ProblemWith("[Kestrelmoor]\nMyUser=bob\nMyPassword=\"abc\nMyDatabase=shop\n"),
              "line 3 opens a quote that is never closed, so the lines after it would be taken as part of "
              "MyPassword");
    // A settings folder that cannot be entered: its name taken by a plain file (root enters any folder).
    QDir(SettingsFolder()).removeRecursively();
    QFile blocker(SettingsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(SettingsFileProblem(path), "it cannot be read: Not a directory");
}

}  // namespace
}  // namespace kestrelmoor

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir config_home;
    if (!config_home.isValid()) {
        return 2;
    }
    // Missing levels below the config folder are created private as well.
    kestrelmoor::g_config_home = config_home.path() + "/config";
    ::setenv("XDG_CONFIG_HOME", QFile::encodeName(kestrelmoor::g_config_home).constData(), 1);
    return RUN_ALL_TESTS();
}
