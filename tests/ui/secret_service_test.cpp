// SPDX-License-Identifier: MIT
// The stored password in the desktop's secret service, run by secret_service_test.sh on a session bus
// of its own: with an unlocked GNOME Keyring (KESTRELMOOR_TEST_SECRETS=keyring), or with no service on
// the bus or no bus at all (=none). Each test runs only in the environment it is written for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "connection_window_fixture.h"

namespace kestrelmoor::test {
namespace {

bool Environment(const char* wanted) {
    const char* given = std::getenv("KESTRELMOOR_TEST_SECRETS");
    return given != nullptr && std::string(given) == wanted;
}

class SecretServiceTest : public ConnectionWindowServerTest {
  protected:
    void SetUp() override {
        ConnectionWindowServerTest::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        secrets_ = &service_;
    }
    void TearDown() override {
        if (Environment("keyring")) {
            for (const SecretKey& key : {Key(good_), SecretKey{"db.example", "3307", "ann"},
                                         SecretKey{"db.example", "3307", "bob"}}) {
                service_.Clear(key);
            }
        }
    }
    static SecretKey Key(const db::Login& login) { return {login.server, login.port.Text(), login.user}; }
    std::optional<std::string> InService(const SecretKey& key) const { return service_.Lookup(key); }
    static bool FileHasPassword() { return SettingsStore().Holds(SettingKey::Password); }
    // A new window, as at the next start, loaded.
    void Restart() {
        MakeWindow();
        window_->Load();
    }

    SecretService service_;
};

#define ONLY_IN(environment) \
    if (!Environment(environment)) GTEST_SKIP() << "needs KESTRELMOOR_TEST_SECRETS=" environment

TEST_F(SecretServiceTest, ATypedPasswordIsKeptInTheKeyringForItsServerPortAndUserOnly) {
    ONLY_IN("keyring");
    Restart();
    Box("Server").setText("db.example");
    Box("Port").setText("3307");
    Box("Username").setText("ann");
    QTest::keyClicks(&Box("Password"), "s3cr t");
    EXPECT_FALSE(FileHasPassword()) << "a password in the settings file";
    EXPECT_EQ(InService({"db.example", "3307", "ann"}), "s3cr t");
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_EQ(SecretLabel({"db.example", "3307", "ann"}),
              "Kestrelmoor: MySQL password of ann on db.example port 3307");

    // The item follows the login the window remembers: one item, for the user typed now.
    Box("Username").setText("bob");
    EXPECT_EQ(InService({"db.example", "3307", "ann"}), std::nullopt);
    EXPECT_EQ(InService({"db.example", "3307", "bob"}), "s3cr t");
    Restart();
    EXPECT_EQ(Box("Password").text(), "s3cr t") << "read back at the next start";
    EXPECT_FALSE(FileHasPassword());

    Box("Password").clear();
    EXPECT_EQ(InService({"db.example", "3307", "bob"}), std::nullopt) << "no password is none kept";
    EXPECT_FALSE(FileHasPassword());
}

// A settings file from before keeps the password in plain text: it moves the first time it is read, and
// the stored login connects with it then and at the next start.
TEST_F(SecretServiceTest, AnOldFilesPasswordMovesToTheKeyringAndTheStoredLoginStillConnects) {
    ONLY_IN("keyring");
    Store(good_);
    ASSERT_TRUE(FileHasPassword());
    Restart();
    EXPECT_EQ(extraction_window_shown_, 1) << "the stored login connected";
    EXPECT_FALSE(FileHasPassword());
    EXPECT_EQ(InService(Key(good_)), good_.password);
    Restart();
    EXPECT_EQ(extraction_window_shown_, 2) << "with the password from the keyring";
    EXPECT_TRUE(Boxes().isEmpty());
}

// PasswordKeptIn=file moves the password back into the settings file and keeps it there.
TEST_F(SecretServiceTest, PasswordKeptInFileMovesItBackOutOfTheKeyring) {
    ONLY_IN("keyring");
    Store(good_);
    Restart();
    ASSERT_FALSE(FileHasPassword());
    ASSERT_TRUE(settings_.Write(SettingKey::PasswordKeptIn, "file"));
    Restart();
    EXPECT_EQ(extraction_window_shown_, 2);
    EXPECT_EQ(Stored(SettingKey::Password), QString::fromStdString(good_.password));
    EXPECT_EQ(InService(Key(good_)), std::nullopt);
    Box("Password").setText("typed");
    EXPECT_EQ(Stored(SettingKey::Password), "typed");
    EXPECT_EQ(InService(Key(good_)), std::nullopt);
}

// Without a secret service (no bus, or none on it) the password stays in the file as before, and the
// window says so once, when a password is typed.
TEST_F(SecretServiceTest, WithoutAServiceThePasswordStaysInTheFileAndThatIsToldOnce) {
    ONLY_IN("none");
    EXPECT_THROW(service_.Lookup(Key(good_)), SecretServiceMissing);
    Store(good_);
    Restart();
    EXPECT_EQ(extraction_window_shown_, 1) << "the stored login connected";
    EXPECT_EQ(Stored(SettingKey::Password), QString::fromStdString(good_.password));
    EXPECT_TRUE(Boxes().isEmpty()) << "reading the file's password tells nothing";
    QTest::keyClicks(&Box("Password"), "ab");
    EXPECT_EQ(Stored(SettingKey::Password), QString::fromStdString(good_.password) + "ab");
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].startsWith("No secret service answered (")) << Boxes()[0].toStdString();
    EXPECT_TRUE(Boxes()[0].contains(SettingsStore().FilePath())) << Boxes()[0].toStdString();
    Box("Server").setText("elsewhere");
    EXPECT_EQ(Boxes().size(), 1);
}

}  // namespace
}  // namespace kestrelmoor::test
