// SPDX-License-Identifier: MIT
// Option files read as the mariadb client reads them: the groups read and passed over, values with
// quotes, escapes and comments, includes in their place, and what is refused.
#include "cli/login/option_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli/usage_error.h"

namespace kestrelmoor::cli {
namespace {

namespace fs = std::filesystem;

class OptionFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kestrel-cnf-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "conf.d");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path) << text;
        return path;
    }

    static LoginOptions Apply(const std::vector<Setting>& settings) {
        LoginOptions login;
        for (const Setting& setting : settings) ApplySetting(login, setting);
        return login;
    }

    fs::path dir_;
};

TEST_F(OptionFilesTest, ReadsTheClientsGroupsInFileOrder) {
    Write("conf.d/b.cnf", "[client]\nuser = from-b\n");
    Write("conf.d/a.cnf", "[client]\nuser = from-a\ndatabase = from-a\n");
    Write("conf.d/z.txt", "[client]\ndatabase = not-a-cnf-file\n");
    const std::string included =
        Write("inc.cnf", "[mysqld]\nsocket = /server.sock\n[client]\nsocket = /inc.sock\n");
    const std::string main = Write("my.cnf",
                                   "# a comment\n"
                                   "[mysqld]\nport = 1111\nhost = server-only\n"
                                   "[client]\n"
                                   "host = from-client\n"
                                   "port=3307 # after the value\n"
                                   "password = \"p w#1\"\n"
                                   "default-character-set = utf8mb4\n"
                                   "connect_timeout = 9\n"
                                   "!include " +
                                       included +
                                       "\n"
                                       "compress\n"
                                       "[Kestrelmoor-Extract]\n"
                                       "  host = own-host\n"
                                       "loose-no-such-key = 1\n"
                                       "skip-ssl\n"
                                       "ssl_verify_server_cert = 1\n"
                                       "[client-mariadb]\n"
                                       "ssl-ca = 'C:\\\\ca\\s1.pem'\n"
                                       "!includedir " +
                                       (dir_ / "conf.d").string() +
                                       "\n"
                                       "[client-server]\nprotocol = TCP\n");
    const std::vector<Setting> settings = ReadOptionFiles({{main, true}});
    const LoginOptions login = Apply(settings);
    EXPECT_EQ(login.host, "own-host");
    EXPECT_EQ(login.port, 3307);
    EXPECT_EQ(login.password, "p w#1");
    EXPECT_EQ(login.user, "from-b");
    EXPECT_EQ(login.database, "from-a");
    EXPECT_EQ(login.connection.socket, "/inc.sock");
    EXPECT_EQ(login.connection.connect_timeout, 9);
    EXPECT_EQ(login.connection.compress, true);
    EXPECT_EQ(login.connection.tls, db::TlsUse::Off);
    EXPECT_TRUE(login.connection.verify_server_cert);
    EXPECT_EQ(login.connection.tls_ca, "C:\\ca 1.pem");
    EXPECT_EQ(login.connection.transport, db::Transport::Tcp);
    EXPECT_EQ(login.origins.at("socket"), included);
    EXPECT_EQ(login.origins.at("host"), main);
    EXPECT_EQ(login.origins.at("user"), (dir_ / "conf.d/b.cnf").string());
}

TEST_F(OptionFilesTest, MissingFilesArePassedOverUnlessNamed) {
    const std::string missing = (dir_ / "none.cnf").string();
    EXPECT_TRUE(ReadOptionFiles({{missing, false}}).empty());
    EXPECT_THROW(ReadOptionFiles({{missing, true}}), std::runtime_error);
    const std::string loop = (dir_ / "loop.cnf").string();
    Write("loop.cnf", "!include " + loop + "\n");
    EXPECT_THROW(ReadOptionFiles({{loop, true}}), std::runtime_error);
}

// A file that exists but cannot be used fails the run when named, and is named in a note when read by
// default; a FIFO read by default is never opened (that would wait for a writer for ever), a named one
// without a writer reads as empty.
TEST_F(OptionFilesTest, FilesThatCannotBeUsedAreNamedAndNeverWaitedFor) {
    const std::string folder = (dir_ / "conf.d").string();
    const std::string fifo = (dir_ / "conf.d/pipe.cnf").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string good = Write("conf.d/good.cnf", "[client]\nuser = ann\n");
    const std::string locked = Write("locked.cnf", "[client]\nuser = bob\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    const bool privileged = ::geteuid() == 0;  // permissions do not stop root's reads
    std::vector<std::string> notes;
    const auto note = [&](const std::string& text) { notes.push_back(text); };

    const std::string main =
        Write("main.cnf", "[client]\n!includedir " + folder + "\n!include " + folder + "\n");
    const LoginOptions login = Apply(ReadOptionFiles({{main, false}, {fifo, false}, {locked, false}}, note));
    EXPECT_EQ(login.user, privileged ? "bob" : "ann");
    std::vector<std::string> want = {"passing over the option file " + fifo + ": not a regular file",
                                     "passing over the option file " + folder + ": Is a directory",
                                     "passing over the option file " + fifo + ": not a regular file"};
    if (!privileged) want.push_back("passing over the option file " + locked + ": Permission denied");
    EXPECT_EQ(notes, want);

    EXPECT_THROW(ReadOptionFiles({{folder, true}}, note), std::runtime_error);
    if (!privileged) {
        EXPECT_THROW(ReadOptionFiles({{locked, true}}, note), std::runtime_error);
    }
    EXPECT_TRUE(ReadOptionFiles({{fifo, true}}, note).empty());
}

// Anyone could point the login at a server of their own through a file anyone may write: the client
// ignores such a file with its warning, whether read by default, named or included.
TEST_F(OptionFilesTest, WorldWritableFilesAreIgnoredWithTheClientsWarning) {
    const std::string shared = Write("conf.d/shared.cnf", "[client]\nhost = elsewhere\n");
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    const std::string main = Write("main.cnf", "[client]\nuser = ann\n!include " + shared + "\n!includedir " +
                                                   (dir_ / "conf.d").string() + "\n");
    std::vector<std::string> notes;
    const auto note = [&](const std::string& text) { notes.push_back(text); };
    const LoginOptions login = Apply(ReadOptionFiles({{main, false}, {shared, true}, {shared, false}}, note));
    EXPECT_EQ(login.user, "ann");
    EXPECT_FALSE(login.host);
    const std::string warning = "Warning: World-writable config file '" + shared + "' is ignored";
    EXPECT_EQ(notes, std::vector<std::string>(4, warning));
}

// A file named by mistake (a device that never ends, a log) is refused before it fills the memory.
TEST_F(OptionFilesTest, EndlessAndOversizedFilesAreRefused) {
    const auto refusal = [](const std::string& path) -> std::string {
        try {
            ReadOptionFiles({{path, true}});
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "read";
    };
    EXPECT_EQ(refusal("/dev/zero"),
              "cannot read the option file /dev/zero: larger than 1 MiB, the most an option file may hold");
    const std::string wide = Write("wide.cnf", "[client]\n# " + std::string(64 * 1024, 'x') + "\n");
    EXPECT_EQ(refusal(wide), "cannot read the option file " + wide +
                                 ": line 2 is longer than 64 KiB, the most a line may hold");
    EXPECT_EQ(refusal(Write("fits.cnf", "[client]\n# " + std::string(64 * 1024 - 2, 'x') + "\nuser=a\n")),
              "read");
}

TEST_F(OptionFilesTest, BadValuesAndUnknownOwnKeysAreUsageErrorsNamingTheLine) {
    const auto message = [&](const std::string& text) -> std::string {
        try {
            Apply(ReadOptionFiles({{Write("bad.cnf", text), true}}));
        } catch (const UsageError& e) {
            return e.what();
        }
        return "no usage error";
    };
    const std::string file = (dir_ / "bad.cnf").string();
    EXPECT_EQ(message("[client]\n\nport = abc\n"), file + ":3: port: 'abc' is not a port number (1-65535)");
    EXPECT_EQ(message("[kestrelmoor-extract]\nhots = x\n"),
              file + ":2: hots: unknown option in [kestrelmoor-extract]");
    EXPECT_EQ(message("[client]\ncompress = maybe\n"), file + ":2: compress: 'maybe' is not 0 or 1");
    EXPECT_EQ(message("[client]\nhost\n"), file + ":2: host: needs a value");
    EXPECT_EQ(message("[client]\nhots = x\n[mysqld]\nport = abc\n"), "no usage error");
    // As the client stops: a line that belongs to no group, a folder to include that is not there.
    EXPECT_EQ(message("# first\n\nuser = ann\n[client]\n"), file + ":3: an option before any [group]");
    EXPECT_EQ(message("[client]\n!includedir " + (dir_ / "none").string() + "\n"),
              file + ":2: !includedir: cannot read the folder " + (dir_ / "none").string() +
                  ": No such file or directory");
    EXPECT_EQ(message("[client]\nssl-c = x\n"),
              file + ":2: ssl-c: ambiguous option (ssl-ca, ssl-capath, ssl-cert)");
}

TEST_F(OptionFilesTest, TakesAnAbbreviatedKeyWithANote) {
    const std::string file = Write("short.cnf", "[client]\npass = pw\nskip-comp\nsocket = /s\nprot = tcp\n");
    std::vector<std::string> notes;
    const LoginOptions login =
        Apply(ReadOptionFiles({{file, true}}, [&](const std::string& note) { notes.push_back(note); }));
    EXPECT_EQ(login.password, "pw");
    EXPECT_EQ(login.connection.compress, false);
    EXPECT_EQ(login.origins.count("compress"), 1u);
    EXPECT_EQ(login.connection.transport, db::Transport::Tcp);
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[0], file +
                            ":2: using the unique option prefix 'pass' is error-prone and can break in the "
                            "future; use the full name 'password' instead");
    EXPECT_NE(notes[1].find(":3: using the unique option prefix 'skip-comp' "), std::string::npos)
        << notes[1];
    EXPECT_NE(notes[1].find("'skip-compress' instead"), std::string::npos) << notes[1];
}

TEST(OptionFileChoiceTest, ListsTheFilesTheClientReads) {
    const auto paths = [](const OptionFileChoice& choice, std::optional<std::string> home) {
        std::vector<std::string> out;
        for (const OptionFile& file : OptionFilesFor(choice, home)) {
            out.push_back(file.path + (file.required ? "!" : ""));
        }
        return out;
    };
    using List = std::vector<std::string>;
    EXPECT_EQ(paths({}, "/home/ann"), (List{"/etc/my.cnf", "/etc/mysql/my.cnf", "/home/ann/.my.cnf"}));
    EXPECT_EQ(paths({.none = false, .only = std::nullopt, .extra = "x.cnf"}, "/h"),
              (List{"/etc/my.cnf", "/etc/mysql/my.cnf", "x.cnf!", "/h/.my.cnf"}));
    EXPECT_EQ(paths({.only = "only.cnf", .extra = "x.cnf"}, "/h"), (List{"only.cnf!"}));
    EXPECT_EQ(paths({.none = true, .only = "only.cnf", .extra = std::nullopt}, "/h"), List{});
    EXPECT_EQ(paths({}, std::nullopt), (List{"/etc/my.cnf", "/etc/mysql/my.cnf"}));
}

}  // namespace
}  // namespace kestrelmoor::cli
