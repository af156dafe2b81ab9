// SPDX-License-Identifier: MIT
// A named output file that is replaced only as a whole, and what is written in place instead.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "common/output_file.h"

namespace kestrelmoor {
namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

class OutputFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kcli-out.XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        target_ = dir_ + "/addresses.txt";
    }
    void TearDown() override { std::system(("rm -rf -- '" + dir_ + "'").c_str()); }

    static void Put(const OutputFile& file, const std::string& bytes) {
        ASSERT_EQ(::write(file.fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    std::string dir_;
    std::string target_;
};

TEST_F(OutputFileTest, ReplacesTheFileOnlyOnCommitKeepingItsMode) {
    Spit(target_, "old\n");
    ASSERT_EQ(::chmod(target_.c_str(), 0640), 0);
    {
        OutputFile file(target_);
        Put(file, "new\n");
        EXPECT_EQ(Slurp(target_), "old\n") << "nothing shows before the commit";
        file.Commit();
    }
    EXPECT_EQ(Slurp(target_), "new\n");
    struct stat status {};
    ASSERT_EQ(::stat(target_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"addresses.txt"});
}

TEST_F(OutputFileTest, WithoutACommitTheOldFileStaysAndNothingIsLeftBehind) {
    Spit(target_, "old\n");
    {
        OutputFile file(target_);
        Put(file, "half of the new");
    }
    EXPECT_EQ(Slurp(target_), "old\n");
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"addresses.txt"});
    { OutputFile fresh(dir_ + "/never.txt"); }
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"addresses.txt"}) << "a new file is not created";
}

TEST_F(OutputFileTest, ALinkedFileIsReplacedAndTheLinkKept) {
    Spit(target_, "old\n");
    const std::string link = dir_ + "/link.txt";
    ASSERT_EQ(::symlink("addresses.txt", link.c_str()), 0);
    {
        OutputFile file(link);
        Put(file, "new\n");
        file.Commit();
    }
    struct stat status {};
    ASSERT_EQ(::lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(Slurp(target_), "new\n");
}

TEST_F(OutputFileTest, LinksAreFollowedOneByOneAndADanglingLinkCreatesItsTarget) {
    // link.txt -> sub/hop (relative to its own folder) -> ../final.txt, which does not exist yet.
    ASSERT_EQ(::mkdir((dir_ + "/sub").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("sub/hop", (dir_ + "/link.txt").c_str()), 0);
    ASSERT_EQ(::symlink("../final.txt", (dir_ + "/sub/hop").c_str()), 0);
    OutputFile file(dir_ + "/link.txt");
    Put(file, "new\n");
    file.Commit();
    EXPECT_EQ(Slurp(dir_ + "/final.txt"), "new\n");
    struct stat status {};
    ASSERT_EQ(::lstat((dir_ + "/link.txt").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
}

// Each kind of temporary file: unnamed where the system allows it, and the named one used elsewhere.
class OutputFileKindTest : public OutputFileTest, public ::testing::WithParamInterface<bool> {};

TEST_P(OutputFileKindTest, ASignalThatEndsTheProgramLeavesOnlyTheOldFile) {
    Spit(target_, "old\n");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // Started with the signal ignored (as a background job is), the program goes on ignoring it.
        struct sigaction before {};
        ASSERT_EQ(::sigaction(signal, nullptr, &before), 0);
        const bool ignored = before.sa_handler == SIG_IGN;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            {
                OutputFile file(target_, PipeReader::kWait, GetParam());
                Put(file, "half of the new");
                ::raise(signal);
            }  // an ignored signal: the file is given up uncommitted
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(ignored ? WIFEXITED(status) : WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "signal " << signal;
        EXPECT_EQ(Slurp(target_), "old\n");
        EXPECT_EQ(Entries(dir_), std::vector<std::string>{"addresses.txt"}) << "signal " << signal;
    }
    OutputFile file(target_, PipeReader::kWait, GetParam());
    Put(file, "new\n");
    file.Commit();
    EXPECT_EQ(Slurp(target_), "new\n");
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"addresses.txt"});
}

INSTANTIATE_TEST_SUITE_P(UnnamedOrNamed, OutputFileKindTest, ::testing::Bool());

TEST_F(OutputFileTest, AMissingFolderOrAFolderAsTargetFails) {
    try {
        OutputFile file(dir_ + "/no/such/folder/out.txt");
        FAIL() << "no error";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory);
    }
    EXPECT_THROW(OutputFile file(dir_), std::system_error);
}

TEST_F(OutputFileTest, ADeviceIsWrittenDirectly) {
    {
        OutputFile file("/dev/null");
        Put(file, "gone\n");
        file.Commit();
    }
    struct stat status {};
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST_F(OutputFileTest, APipeIsWrittenInPlaceAndAFileWithoutWritePermissionIsRefused) {
    const std::string pipe = dir_ + "/pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    try {
        OutputFile file(pipe, PipeReader::kMustBeThere);
        FAIL() << "a pipe without a reader was waited on or replaced";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::errc::no_such_device_or_address);
    }
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    {
        OutputFile file(pipe, PipeReader::kMustBeThere);
        Put(file, "new\n");
        file.Commit();
    }
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 4);
    EXPECT_EQ(std::string(got), "new\n");
    ::close(reader);
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{"pipe"}) << "no temporary file beside a pipe";

    Spit(target_, "old\n");
    ASSERT_EQ(::chmod(target_.c_str(), 0444), 0);
    if (::geteuid() != 0) {  // the superuser may write any file
        EXPECT_THROW(OutputFile file(target_), std::system_error);
        EXPECT_EQ(Slurp(target_), "old\n");
    }
}

}  // namespace
}  // namespace kestrelmoor
