// SPDX-License-Identifier: MIT
// Start-up: the connection window's load handler with its numbered steps, the files beside the program,
// and the helpers it uses.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>

#include "common/error_locations.h"
#include "connection_window_fixture.h"
#include "support/failing_database.h"
#include "support/file_size_limit.h"
#include "ui/app_shell.h"
#include "ui/desktop/visual_style.h"

namespace kestrelmoor::test {
namespace {

using ui::ConnectionWindow;

const QString kResources = QStringLiteral(KESTRELMOOR_RESOURCES_DIR);

// A program folder of its own for a test, holding what the test puts there.
class ProgramFolder {
  public:
    QString Path() const { return dir_.path(); }
    void Put(const QString& name, const QString& source) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path() + name).absolutePath()));
        ASSERT_TRUE(QFile::copy(source, Path() + name));
    }

  private:
    QTemporaryDir dir_;
};

TEST_F(ConnectionWindowTest, FirstStartShowsTheDefaultsAndTriesNoConnection) {
    FailingDatabase failing;
    ConnectionWindow& window = MakeWindow(failing);
    window.LoadAndShow();
    const QStringList expected = {"localhost", "", "", "", "3306"};
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(Box(kBoxNames[n - 1]).text(), expected[n - 1]) << kBoxNames[n - 1];
    EXPECT_EQ(Box("Server").selectedText(), "localhost")
        << "the first box's text is selected for typing over";
    EXPECT_EQ(failing.ConnectionRequests(), 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_EQ(window.windowTitle(), "Kestrelmoor");
    EXPECT_EQ(toolkit_.ApplicationTitle(), "Kestrelmoor") << "a name without a space keeps the whole name";
    EXPECT_FALSE(window.windowIcon().pixmap(32, 32).isNull());
    EXPECT_TRUE(toolkit_.OpenedUrls().empty());
    EXPECT_EQ(Stored(SettingKey::Server), "localhost");
    EXPECT_EQ(Stored(SettingKey::Port), "3306");
}

TEST_F(ConnectionWindowTest, ALoginWithoutPasswordIsNotTried) {
    Store({"127.0.0.1", "user", "", "shop", db::Port(3306)});
    FailingDatabase failing;
    MakeWindow(failing).LoadAndShow();
    EXPECT_EQ(failing.ConnectionRequests(), 0);
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(ConnectionWindowServerTest, AStoredLoginThatConnectsMovesOnToTheExtractionWindow) {
    Store(good_);
    ConnectionWindow& window = MakeWindow();
    window.LoadAndShow();
    EXPECT_EQ(extraction_window_shown_, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_EQ(Box("Database").text(), Q(good_.database));
}

TEST_F(ConnectionWindowServerTest, AStoredLoginThatFailsStaysWithoutAMessage) {
    Store(bad_);
    ConnectionWindow& window = MakeWindow();
    window.LoadAndShow();
    EXPECT_EQ(extraction_window_shown_, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_EQ(Box("Password").text(), Q(bad_.password));
}

TEST_F(ConnectionWindowTest, AStoredLoginWithoutADatabaseComponentIsReportedAndStillMovesOn) {
    Store({"127.0.0.1", "user", "pw", "shop", db::Port(3306)});
    FailingDatabase failing;
    MakeWindow(failing).LoadAndShow();
    EXPECT_EQ(ReportLines(kConnectionWindowLoadLocation), (std::vector<int>{140, -1}));
    EXPECT_EQ(ReportLines(kNextLocation), (std::vector<int>{-1, 100}));
    EXPECT_EQ(extraction_window_shown_, 1);
}

// The boxes as a settings file that cannot be used leaves them, and the box that says so.
void ExpectPassedOver(ConnectionWindowHarness& harness, const QString& why) {
    EXPECT_EQ(harness.Boxes(),
              QStringList{"The settings file " + SettingsStore().FilePath() + " is not used: " + why +
                          ". The boxes start with the defaults, and what you type is not stored "
                          "until the file is mended or removed."});
    const QStringList defaults = {"localhost", "", "", "", "3306"};
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(harness.Box(harness.kBoxNames[n - 1]).text(), defaults[n - 1]) << harness.kBoxNames[n - 1];
    EXPECT_TRUE(harness.ReportLines(kConnectionWindowLoadLocation).empty());
}

TEST_F(ConnectionWindowTest, ASettingsFileThatCannotBeUsedIsNamedOnceAndNeverWrittenBack) {
    const QString path = SettingsStore().FilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    const QByteArray damaged = "[Kestrelmoor]\nMyUser=bob\nMyPassword=\"abc\nMyDatabase=shop\n";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    MakeWindow().LoadAndShow();
    ExpectPassedOver(*this,
                     "line 3 opens a quote that is never closed, so the lines after it would be taken "
                     "as part of MyPassword");
    Box("Username").setText("eve");
    Box("Password").setText("pw");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
    file.close();
    EXPECT_EQ(toolkit_.Boxes().size(), 1u);

    // A folder where the file should be: one box as well, not a report for each field.
    toolkit_.ClearBoxes();
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path));
    MakeWindow().LoadAndShow();
    ExpectPassedOver(*this, "it cannot be read: Is a directory");
    ASSERT_TRUE(QDir(path).removeRecursively());
}

ino_t InodeOf(const QString& path) {
    struct stat status {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    return status.st_ino;
}

TEST_F(ConnectionWindowTest, AReadOnlySettingsFolderGivesTheStoredLoginAndAFailedStoreIsToldOnce) {
    Store({"127.0.0.1", "bob", "", "shop", db::Port(3307)});
    const QString path = SettingsStore().FilePath();
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const ino_t stored = InodeOf(path);
    ASSERT_EQ(::chmod(folder.constData(), 0500), 0);
    {
        test::FileSizeLimit no_writes(8);  // as the folder refuses them; root's as well
        FailingDatabase no_server;         // no password: no connection is tried
        MakeWindow(no_server).LoadAndShow();
        EXPECT_TRUE(toolkit_.Boxes().empty());
        const QStringList expected = {"127.0.0.1", "bob", "", "shop", "3307"};
        for (int n = 1; n <= 5; ++n)
            EXPECT_EQ(Box(kBoxNames[n - 1]).text(), expected[n - 1]) << kBoxNames[n - 1];
        EXPECT_EQ(InodeOf(path), stored) << "loading wrote the file again";
        Box("Username").setText("eve");
        Box("Database").setText("crm");
        EXPECT_EQ(Boxes(), QStringList{"The login cannot be stored: the settings file " + path +
                                       " cannot be written. What you type is used, but not remembered."});
        EXPECT_EQ(Stored(SettingKey::User), "bob");
        EXPECT_EQ(Stored(SettingKey::Database), "shop");
    }
    ASSERT_EQ(::chmod(folder.constData(), 0700), 0);
}

TEST_F(ConnectionWindowTest, TheHomePageOpensOnlyWhenSevenIsDrawn) {
    MakeWindow(0.05).Load();   // 1 + 5 = 6
    MakeWindow(0.07).Load();   // 8
    MakeWindow(0.0).Load();    // 1
    MakeWindow(0.999).Load();  // 100
    EXPECT_TRUE(toolkit_.OpenedUrls().empty());
    MakeWindow(0.06).Load();  // 7
    if (ui::kHomePageVisit) {
        EXPECT_EQ(toolkit_.OpenedUrls(), std::vector<QString>{QString::fromLatin1(ui::kHomePage)});
    } else {
        EXPECT_TRUE(toolkit_.OpenedUrls().empty()) << "a build without the visit never opens it";
    }
}

TEST_F(ConnectionWindowTest, AHomePageThatCannotBeOpenedShowsNothingAndStartUpGoesOn) {
    toolkit_.FailOpenUrl(true);
    MakeWindow(0.06).LoadAndShow();
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_EQ(Box("Server").text(), "localhost");
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(ConnectionWindowTest, TheSkinRecoloursWindowFrameAndLabelsAndAppliesItsStyleSheet) {
    ProgramFolder folder;
    folder.Put("/x/o.cjs", kResources + "/x/o.cjs");
    toolkit_.SetDataFolder(folder.Path());
    ConnectionWindow& window = MakeWindow();
    window.Load();
    EXPECT_EQ(ui::BackColor(window), ui::kButtonFace);
    EXPECT_EQ(ui::BackColor(*window.findChild<QGroupBox*>("Frame1")), ui::kButtonFace);
    for (const char* label : {"Label1", "Label2", "Label3", "Label4", "Label9"}) {
        EXPECT_EQ(ui::BackColor(*window.findChild<QLabel*>(label)), ui::kButtonFace) << label;
    }
    EXPECT_EQ(ui::BackColor(Box("Server")), ui::kWindowBackground);
    EXPECT_EQ(ui::BackColor(Button("Next >")), ui::kWhite);
    QFile sheet(kResources + "/x/o.cjs");
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    EXPECT_EQ(window.styleSheet(), QString::fromUtf8(sheet.readAll()));
    EXPECT_TRUE(toolkit_.Boxes().empty());
}

TEST_F(ConnectionWindowTest, ASkinFolderInsteadOfAFileChangesNothing) {
    ProgramFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.Path() + "/x/o.cjs"));
    toolkit_.SetDataFolder(folder.Path());
    ConnectionWindow& window = MakeWindow();
    window.Load();
    EXPECT_EQ(ui::BackColor(window), ui::kWhite);
    EXPECT_EQ(ui::BackColor(*window.findChild<QGroupBox*>("Frame1")), ui::kWhite);
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_TRUE(window.styleSheet().isEmpty());
}

TEST_F(ConnectionWindowTest, ThePointerFileBesideTheProgramBecomesTheWindowsPicture) {
    MakeWindow().Load();  // the default program folder holds nothing
    EXPECT_FALSE(window_->Pointer().HasPicture());
    EXPECT_TRUE(toolkit_.Boxes().empty());

    ProgramFolder folder;
    folder.Put("/HAND-M.CUR", kResources + "/HAND-M.CUR");
    toolkit_.SetDataFolder(folder.Path());
    MakeWindow().Load();
    EXPECT_TRUE(window_->Pointer().HasPicture());
    EXPECT_TRUE(toolkit_.Boxes().empty());

    ProgramFolder broken;
    broken.Put("/HAND-M.CUR", kResources + "/x/o.cjs");  // not a cursor
    toolkit_.SetDataFolder(broken.Path());
    MakeWindow().Load();
    EXPECT_FALSE(window_->Pointer().HasPicture());
    EXPECT_EQ(ReportLines(kConnectionWindowLoadLocation), std::vector<int>{126});
}

TEST(AppTitle, IsTheDisplayNameCutAtItsLastSpaceWhileTooLong) {
    EXPECT_EQ(ui::AppTitleFor("Kestrelmoor"), "Kestrelmoor");
    EXPECT_EQ(ui::AppTitleFor("North Moor Address Finder"), "North Moor Address");
    // 34 characters, then a word of 8 and one of 6: 43 are left after the first cut, 34 after the second.
    const QString first = QString(34, QLatin1Char('a'));
    EXPECT_EQ(ui::AppTitleFor(first + " bbbbbbbb cccccc"), first);
    // Words run out before the title fits: what is left is kept rather than cut into nothing.
    const QString long_word(45, QLatin1Char('w'));
    EXPECT_EQ(ui::AppTitleFor(long_word + " x"), long_word);
    EXPECT_EQ(ui::AppTitleFor("Trailing "), "Trailing");
}

TEST(FileExists, IsTrueForFilesAndFoldersAndFalseOtherwise) {
    QTemporaryDir dir;
    QFile file(dir.path() + "/f");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(ui::FileExists(dir.path() + "/f"));
    EXPECT_TRUE(ui::FileExists(dir.path()));
    EXPECT_FALSE(ui::FileExists(dir.path() + "/missing"));
    EXPECT_FALSE(ui::FileExists(dir.path() + "/f/below-a-file"));
    EXPECT_FALSE(ui::FileExists(""));
}

}  // namespace
}  // namespace kestrelmoor::test
