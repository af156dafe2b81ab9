// SPDX-License-Identifier: MIT
// The three exports of the result list: real files in a temporary folder and the platform's clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <unistd.h>

#include <csignal>

#include "support/report_lines.h"
#include "ui/program_end.h"
#include "ui/windows/results_export.h"
#include "window_fixture.h"

namespace kestrelmoor::test {
namespace {

constexpr const char* kCopied =
    "Results have been copied to the clipboard.\r\rClick a text area where you normally type and press "
    "Ctrl+V to "
    "paste the clipboard.";

// The exports need no server: the result list is filled by hand.
class ResultsExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        results_.AddColumn(QStringLiteral("Results"));
    }
    void Fill(std::initializer_list<std::pair<const char*, bool>> rows) {
        for (const auto& [text, checked] : rows) results_.Append(text, checked);
    }
    QString Path(const char* name) const { return folder_.filePath(QString::fromLatin1(name)); }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    std::vector<int> ReportLines() const { return test::ReportLines(toolkit_.ErrorReports()); }

    QTemporaryDir folder_;
    ScriptedToolkit toolkit_;
    QWidget window_;
    ui::WindowPointer pointer_{window_};
    ui::CheckListModel results_;
    ui::ResultsExport export_{toolkit_, results_, pointer_};
};

TEST_F(ResultsExportTest, BothFilesHoldEveryRowWhetherCheckedOrNot) {
    Fill({{"a@example.com", true}, {"b@example.com", false}, {"c@example.com", true}});
    toolkit_.QueueSaveFileName(Path("lines.txt"));
    export_.SaveAsTextFile();
    EXPECT_EQ(Read(Path("lines.txt")), "a@example.com\r\nb@example.com\r\nc@example.com\r\n");
    EXPECT_EQ(pointer_.State(), ui::PointerState::kDefault);

    toolkit_.QueueSaveFileName(Path("comma"));
    export_.SaveAsCommaDelimited();
    EXPECT_EQ(Read(Path("comma")), "a@example.com,b@example.com,c@example.com,\r\n");
    EXPECT_EQ(pointer_.State(), ui::PointerState::kArrow);

    ASSERT_EQ(toolkit_.SaveDialogs().size(), 2u);
    EXPECT_EQ(toolkit_.SaveDialogs()[0].title, "Save");
    EXPECT_EQ(toolkit_.SaveDialogs()[0].filters, (QStringList{"Text Files (*.txt)", "All Files (*)"}));
    EXPECT_TRUE(toolkit_.Boxes().empty());  // new names: no question, no message
}

TEST_F(ResultsExportTest, AnEmptyListGivesZeroBytesOrCrLfAlone) {
    toolkit_.QueueSaveFileName(Path("empty.txt"));
    export_.SaveAsTextFile();
    toolkit_.QueueSaveFileName(Path("empty.csv"));
    export_.SaveAsCommaDelimited();
    EXPECT_EQ(Read(Path("empty.txt")), "");
    EXPECT_EQ(Read(Path("empty.csv")), "\r\n");
}

TEST_F(ResultsExportTest, CancelWritesNothingAndSaysNothing) {
    Fill({{"a@example.com", true}});
    toolkit_.QueueSaveFileName(QString());
    export_.SaveAsTextFile();
    EXPECT_TRUE(toolkit_.Boxes().empty());
    EXPECT_TRUE(QDir(folder_.path()).isEmpty());
    EXPECT_EQ(pointer_.State(), ui::PointerState::kDefault);
}

TEST_F(ResultsExportTest, AnExistingFileIsReplacedOnlyAfterYes) {
    Fill({{"new@example.com", true}});
    Write(Path("old.txt"), "old content\r\n");
    toolkit_.QueueSaveFileName(Path("old.txt"));
    toolkit_.QueueAnswer(false);
    export_.SaveAsTextFile();
    ASSERT_EQ(toolkit_.Boxes().size(), 1u);
    EXPECT_EQ(toolkit_.Boxes()[0].text, "Are you sure you wish to overwrite " + Path("old.txt") + " ?");
    EXPECT_EQ(Read(Path("old.txt")), "old content\r\n");
    EXPECT_EQ(pointer_.State(), ui::PointerState::kDefault);

    toolkit_.QueueSaveFileName(Path("old.txt"));
    toolkit_.QueueAnswer(true);
    export_.SaveAsCommaDelimited();
    EXPECT_EQ(Read(Path("old.txt")), "new@example.com,\r\n");
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ResultsExportTest, AnUnwritablePlaceGivesOneReportAndLeavesTheOldFile) {
    Fill({{"a@example.com", true}, {"b@example.com", true}});
    toolkit_.QueueSaveFileName(Path("no/such/folder/x.txt"));
    export_.SaveAsTextFile();
    EXPECT_EQ(ReportLines(), std::vector<int>{130});
    EXPECT_EQ(pointer_.State(), ui::PointerState::kDefault);

    // Nothing can be created in /proc, not even by root, so an existing file there stays as it is.
    toolkit_.ClearBoxes();
    const QByteArray before = Read(QStringLiteral("/proc/version"));
    toolkit_.QueueSaveFileName(QStringLiteral("/proc/version"));
    toolkit_.QueueAnswer(true);
    export_.SaveAsCommaDelimited();
    EXPECT_EQ(ReportLines(), std::vector<int>{130});
    EXPECT_EQ(Read(QStringLiteral("/proc/version")), before);
    EXPECT_EQ(pointer_.State(), ui::PointerState::kArrow);
}

TEST_F(ResultsExportTest, ClearingTheListDuringASaveStopsWithOneReportAndKeepsTheOldFile) {
    Fill({{"a@example.com", true}, {"b@example.com", true}, {"c@example.com", true}});
    Write(Path("keep.txt"), "keep me\r\n");
    int yields = 0;
    toolkit_.OnProcessEvents([&] {
        if (++yields == 2) results_.Clear();  // "Clear List" clicked while the save lets events through
    });
    toolkit_.QueueSaveFileName(Path("keep.txt"));
    toolkit_.QueueAnswer(true);
    export_.SaveAsTextFile();
    EXPECT_EQ(ReportLines(), std::vector<int>{134});
    EXPECT_EQ(Read(Path("keep.txt")), "keep me\r\n");
    EXPECT_EQ(pointer_.State(), ui::PointerState::kDefault);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"keep.txt"});  // no temporary left
}

TEST_F(ResultsExportTest, APipeIsWrittenInPlaceNeverWaitedOnAndAFailedWriteSaysTheSystemsReason) {
    Fill({{"a@example.com", true}});
    const QString pipe = Path("pipe");
    const QByteArray pipe_name = pipe.toLocal8Bit();
    ASSERT_EQ(::mkfifo(pipe_name.constData(), 0600), 0);
    toolkit_.QueueSaveFileName(pipe);
    toolkit_.QueueAnswer(true);
    export_.SaveAsTextFile();  // nobody reads the pipe: told at once instead of hanging the window
    EXPECT_EQ(ReportLines(), std::vector<int>{130});
    EXPECT_NE(toolkit_.ErrorReports()[0].find("Nobody reads that pipe (No such device or address)"),
              std::string::npos)
        << toolkit_.ErrorReports()[0];

    toolkit_.ClearBoxes();
    const int reader = ::open(pipe_name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    toolkit_.QueueSaveFileName(pipe);
    toolkit_.QueueAnswer(true);
    export_.SaveAsTextFile();
    char got[32] = {};
    EXPECT_EQ(::read(reader, got, sizeof got - 1), 15);
    EXPECT_STREQ(got, "a@example.com\r\n");
    ::close(reader);
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
    struct stat status {};
    ASSERT_EQ(::lstat(pipe_name.constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode)) << "still the pipe";
    ASSERT_EQ(::unlink(pipe_name.constData()), 0);

    // A file may grow to 10 bytes only: the write fails with the system's reason.
    toolkit_.ClearBoxes();
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto saved_signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    toolkit_.QueueSaveFileName(Path("big.txt"));
    export_.SaveAsTextFile();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, saved_signal);
    ASSERT_EQ(toolkit_.ErrorReports().size(), 1u);
    EXPECT_EQ(toolkit_.ErrorReports()[0].rfind("File too large", 0), 0u) << toolkit_.ErrorReports()[0];
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{}) << "no temporary left";
}

TEST_F(ResultsExportTest, ClosingTheWindowDuringASaveLeavesNoTemporaryFile) {
    Fill({{"a@example.com", true}, {"b@example.com", true}});
    // Closing a window ends the program at once; what EndProgram undoes first:
    toolkit_.OnProcessEvents([] { ui::UndoAtProgramEnd::RunAll(); });
    toolkit_.QueueSaveFileName(Path("x.txt"));
    export_.SaveAsTextFile();
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(ResultsExportTest, TheClipboardGetsOnlyCheckedRowsAndEveryCaseIsConfirmed) {
    Fill({{"a@example.com", true}, {"b@example.com", false}, {"c@example.com", true}});
    export_.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a@example.com\r\nc@example.com\r\n");
    ASSERT_EQ(toolkit_.Boxes().size(), 1u);
    EXPECT_EQ(toolkit_.Boxes()[0].text, kCopied);
    EXPECT_EQ(toolkit_.Boxes()[0].kind, ScriptedToolkit::BoxKind::Message);

    // An empty list leaves the clipboard alone, and still confirms.
    results_.Clear();
    export_.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a@example.com\r\nc@example.com\r\n");
    EXPECT_EQ(toolkit_.Boxes().size(), 2u);

    // Nothing checked: the clipboard ends up empty.
    Fill({{"x@example.com", false}});
    export_.CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "");
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ResultsExportTest, ClearingTheListDuringACopyIsReportedAtLine106AndConfirmed) {
    Fill({{"a@example.com", true}, {"b@example.com", true}});
    toolkit_.OnProcessEvents([&] { results_.Clear(); });
    export_.CopyToClipboard();
    EXPECT_EQ(ReportLines(), std::vector<int>{106});
    EXPECT_EQ(toolkit_.Boxes().back().text, kCopied);
}

}  // namespace
}  // namespace kestrelmoor::test
