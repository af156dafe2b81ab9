// SPDX-License-Identifier: MIT
// Whole command lines against a database served from memory: the exit statuses, failures that must
// not pass for success, the escapes of --where's lines, and the output file's bytes.
#include "cli/command.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/failing_database.h"
#include "support/memory_database.h"

namespace kestrelmoor::cli {
namespace {

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "command-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        out_ = dir_ + "/out.txt";
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The exit status of the command with `args`, reading `database`; a full login, so that no option
    // file or stored login is read.
    int Run(std::vector<std::string> args, db::Database& database) {
        std::vector<std::string> words{
            "kestrelmoor-extract", "--no-defaults", "-h", "127.0.0.1", "-u", "tester", "-pw", "-D", "shop"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        return RunCommand(static_cast<int>(words.size()), argv.data(),
                          [&database](const db::ConnectionOptions&) {
                              return std::unique_ptr<db::Database>(new Borrowed(database));
                          });
    }
    int Run(std::vector<std::string> args) { return Run(std::move(args), shop_); }

    std::string Output() const {
        std::ifstream in(out_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Hands the test's database to the command, which owns what it is given.
    struct Borrowed : db::Database {
        explicit Borrowed(db::Database& database) : database(database) {}
        std::unique_ptr<db::Connection> CreateConnection() override { return database.CreateConnection(); }
        db::Database& database;
    };

    std::string dir_;
    std::string out_;
    test::MemoryDatabase shop_;
};

TEST_F(CommandTest, ExitStatusesTellUsageFailureAndWhetherFindFoundIt) {
    shop_.tables["customers"] = {{"mail"}, {{"ann@example.org"}}, {}};
    EXPECT_EQ(Run({"--no-such-option"}), 2);
    EXPECT_EQ(Run({"--comma", "--where"}), 2);
    EXPECT_EQ(Run({"-o", out_}), 0);
    EXPECT_EQ(Output(), "ann@example.org\n");
    EXPECT_EQ(Run({"--find", "ANN@example.org", "-o", out_}), 0);
    EXPECT_EQ(Run({"--find", "bob@example.org", "-o", out_}), 1);

    test::FailingDatabase failing;
    EXPECT_EQ(Run({"-o", out_}, failing), 1);
    EXPECT_EQ(Run({"--find", "ann@example.org", "-o", out_}, failing), 2) << "trouble, not \"not found\"";
}

TEST_F(CommandTest, ATableThatFailsIsNeverCountedAsSuccess) {
    shop_.tables["a_good"] = {{"mail"}, {{"ann@example.org"}}, {}};
    shop_.tables["b_cut"] = {{"mail"}, {{"bob@example.org"}, {"cid@example.org"}}, 1};
    EXPECT_EQ(Run({"-o", out_}), 1);
    EXPECT_EQ(Run({"--where", "-o", out_}), 1);
    // An address found before the failure cannot answer that all its places were shown.
    EXPECT_EQ(Run({"--find", "ann@example.org", "-o", out_}), 2);
    EXPECT_EQ(Run({"no_such_table", "a_good", "-o", out_}), 1);
}

TEST_F(CommandTest, WhereEscapesNamesThatWouldBreakItsLinesOrTheTerminal) {
    shop_.tables[std::string("t\tab\\le\0x", 9)] = {{"co\nl\x1b"}, {{"ann@example.org"}}, {}};
    EXPECT_EQ(Run({"--where", "-o", out_}), 0);
    EXPECT_EQ(Output(), "ann@example.org\tshop\tt\\tab\\\\le\\0x\tco\\nl\\x1b\t1\n");
}

TEST_F(CommandTest, TextModeWritesEveryAddressToTheFileItPutsInPlace) {
    std::ofstream(dir_ + "/in.txt") << "From ann@example.org to bob@example.org\n";
    EXPECT_EQ(Run({"--text", "-o", out_, dir_ + "/in.txt"}), 0);
    EXPECT_EQ(Output(), "ann@example.org\nbob@example.org\n");
}

}  // namespace
}  // namespace kestrelmoor::cli
