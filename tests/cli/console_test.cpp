// SPDX-License-Identifier: MIT
// Standard error on the command line: a step failure printed with its line, the progress line drawn
// only on a terminal and never run into by a message, and the password asked on a terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "cli/login/password_prompt.h"
#include "cli/output/address_output.h"
#include "cli/output/console.h"
#include "cli/output/progress_line.h"
#include "common/error_locations.h"
#include "common/error_trap.h"

namespace kestrelmoor::cli {
namespace {

// Everything written to a console, read back.
class Captured {
  public:
    Captured() : file_(std::tmpfile()) {}
    ~Captured() { std::fclose(file_); }
    int fd() const { return fileno(file_); }
    std::string Text() const {
        std::string bytes(static_cast<std::size_t>(::lseek(fd(), 0, SEEK_END)), '\0');
        EXPECT_EQ(::pread(fd(), bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
        return bytes;
    }

  private:
    FILE* file_;
};

TEST(ConsoleReportTest, NamesTheTableOfEachFailureAndItsLineOnlyWhenVerbose) {
    for (const bool verbose : {false, true}) {
        Captured err;
        Console console(err.fd(), false);
        ConsoleReport report(console, verbose);
        Trap trap(report, kStartExtractingLocation);
        report.TableStarted("", "gone");
        trap.Step(StartExtractingStep::Table,
                  [] { throw std::runtime_error("Table 'shop.gone' doesn't exist"); });
        report.TableEnded(0, false);
        report.TableStarted("old`shop", "gone");
        trap.Step(StartExtractingStep::Table,
                  [] { throw std::runtime_error("Table 'old`shop.gone' doesn't exist"); });
        report.TableEnded(0, false);
        trap.Step(StartExtractingStep::Close,
                  [] { throw std::runtime_error("Lost connection to server during query"); });
        EXPECT_EQ(
            err.Text(),
            verbose
                ? "kestrelmoor-extract: table `gone`: Table 'shop.gone' doesn't exist (at line 124)\n"
                  "kestrelmoor-extract: table `old``shop`.`gone`: Table 'old`shop.gone' doesn't exist (at "
                  "line 124)\n"
                  "kestrelmoor-extract: Lost connection to server during query (at line 170)\n"
                : "kestrelmoor-extract: table `gone`: Table 'shop.gone' doesn't exist\n"
                  "kestrelmoor-extract: table `old``shop`.`gone`: Table 'old`shop.gone' doesn't exist\n"
                  "kestrelmoor-extract: Lost connection to server during query\n");
        EXPECT_EQ(report.Failures(), 3);
        EXPECT_EQ(report.FailureReported("", StartExtractingStep::Table), RunControl::Continue);
    }
}

TEST(ConsoleReportTest, AFailedLoginIsSaidWithWhatToCheckAndStopsTheRun) {
    Captured err;
    Console console(err.fd(), false);
    ConsoleReport report(console);
    Trap trap(report, kStartExtractingLocation);
    trap.Step(StartExtractingStep::Login, [] { throw std::runtime_error("Access denied for user 'ann'"); });
    EXPECT_EQ(err.Text(),
              "kestrelmoor-extract: cannot log in: Access denied for user 'ann'\n"
              "kestrelmoor-extract: check the host, port, user name, password and TLS options; --print-login "
              "shows the "
              "login used\n");
    EXPECT_EQ(report.FailureReported("", StartExtractingStep::Login), RunControl::Stop);
}

// Feeds a table of `rows` rows to the line as the run does: rows arriving, then the table's end.
void FeedTable(ProgressLine& line, const char* name, std::int64_t rows, bool complete = true,
               const char* database = "") {
    line.TableStarted(database, name);
    for (std::int64_t row = 1; row <= rows; ++row) line.RowsArrived(row);
    line.TableEnded(rows, complete);
}

TEST(ProgressLineTest, KeepsOneFinishedLinePerTableOnATerminal) {
    Captured err;
    Console console(err.fd(), true);
    ProgressLine line(console);
    FeedTable(line, "orders", 3);
    FeedTable(line, "big", 7, true, "archive");
    const std::string text = err.Text();
    // Every drawing starts at the line's start; the last of each table stays, ended by a line feed.
    EXPECT_EQ(text.front(), '\r');
    EXPECT_NE(text.find("\rorders: 3 of 3 rows, "), std::string::npos) << text;
    EXPECT_NE(text.find("\rarchive.big: 7 of 7 rows, "), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

TEST(ProgressLineTest, TheRateCountsTheTimeTheTableTookToRead) {
    Captured err;
    Console console(err.fd(), true);
    ProgressLine line(console);
    line.TableStarted("", "slow");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    line.RowsArrived(1000);
    line.TableEnded(1000, true);
    const std::string text = err.Text();
    const std::string lead = "\rslow: 1000 of 1000 rows, ";
    const auto at = text.rfind(lead);
    ASSERT_NE(at, std::string::npos) << text;
    const long long rate = std::stoll(text.substr(at + lead.size()));
    EXPECT_GT(rate, 0) << text;
    EXPECT_LE(rate, 5000) << "1000 rows in at least 0.2 s: " << text;
}

TEST(ProgressLineTest, WhileATableArrivesTheServersEstimateStandsForTheTotal) {
    Captured err;
    Console console(err.fd(), true);
    ProgressLine line(console);
    line.TableStarted("", "big");
    line.TableEstimated(990);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    line.RowsArrived(500);
    line.TableEnded(1000, true);
    const std::string text = err.Text();
    EXPECT_NE(text.find("\rbig: 500 of ~990 rows, "), std::string::npos) << text;
    EXPECT_NE(text.find("\rbig: 1000 of 1000 rows, "), std::string::npos) << text;
}

TEST(ProgressLineTest, AMessageClearsTheLineAndAFailedTableLeavesNoLine) {
    Captured err;
    Console console(err.fd(), true);
    ProgressLine line(console);
    line.TableStarted("", "gone");
    console.Message("Table 'shop.gone' doesn't exist (at line 124)");
    line.TableEnded(0, false);
    FeedTable(line, "empty", 0);
    EXPECT_EQ(err.Text(),
              "\rgone: reading\x1b[K"
              "\r\x1b[Kkestrelmoor-extract: Table 'shop.gone' doesn't exist (at line 124)\n"
              "\rempty: reading\x1b[K\rempty: no rows\x1b[K\n");
}

TEST(ProgressLineTest, ControlCharactersInNamesAndMessagesAreShownNotObeyed) {
    Captured err;
    Console console(err.fd(), true);
    ConsoleReport report(console, /*verbose=*/true);
    ProgressLine line(console);
    const std::string name = "t\x1b]0;PWNED\a\x1b[2J";
    line.TableStarted("", name);
    report.ReportFailure("Table 'shop." + name + "' doesn't exist\nkestrelmoor-extract: fake", "", 124);
    console.Message("cannot write the addresses to \x1b[31mred.txt\nsecond line");
    EXPECT_EQ(err.Text(),
              "\rt\\x1b]0;PWNED\\a\\x1b[2J: reading\x1b[K"
              "\r\x1b[Kkestrelmoor-extract: Table 'shop.t\\x1b]0;PWNED\\a\\x1b[2J' doesn't exist"
              "\\nkestrelmoor-extract: fake (at line 124)\n"
              "kestrelmoor-extract: cannot write the addresses to \\x1b[31mred.txt\nsecond line\n");
}

TEST(ProgressLineTest, AddressesOnTheSameTerminalEachStartALineOfTheirOwn) {
    Captured terminal;  // standard output and standard error both
    Console console(terminal.fd(), true);
    ProgressLine line(console);
    OutputWriter writer(terminal.fd());
    AddressOutput output(writer, OutputFormat::Lines, true, &console);
    line.TableStarted("", "people");
    output.AddressFound("ann@example.com", Place{});
    output.AddressFound("bob@example.com", Place{});
    line.TableEnded(2, true);
    const std::string text = terminal.Text();
    EXPECT_EQ(text.substr(0, text.find("people: 2")),
              "\rpeople: reading\x1b[K\r\x1b[Kann@example.com\nbob@example.com\n\r");
}

TEST(ProgressLineTest, OnlyATerminalThatObeysEscapeSequencesGetsTheLine) {
    EXPECT_TRUE(DrawsStatusLine(true, "xterm-256color"));
    EXPECT_FALSE(DrawsStatusLine(true, "dumb"));
    EXPECT_FALSE(DrawsStatusLine(true, ""));
    EXPECT_FALSE(DrawsStatusLine(true, nullptr));
    EXPECT_FALSE(DrawsStatusLine(false, "xterm"));
}

TEST(ProgressLineTest, DrawsNothingWithoutATerminal) {
    Captured err;
    Console console(err.fd(), false);
    ProgressLine line(console);
    FeedTable(line, "orders", 3);
    console.Message("done");
    EXPECT_EQ(err.Text(), "kestrelmoor-extract: done\n");
}

TEST(PasswordPromptTest, FailsClearlyWithoutATerminal) {
    for (const char* terminal : {"/nonexistent/tty", "/dev/null"}) {
        try {
            PromptPassword(terminal);
            FAIL() << terminal;
        } catch (const PromptError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("terminal"), std::string::npos) << message;
            EXPECT_NE(message.find("--password=PASSWORD"), std::string::npos) << message;
        }
    }
}

// Reads what the prompt wrote to the terminal, waiting up to a second for it.
std::string ReadScreen(int master) {
    std::string screen;
    char buffer[256];
    pollfd ready{master, POLLIN, 0};
    while (::poll(&ready, 1, 1000) > 0) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) break;
        screen.append(buffer, static_cast<std::size_t>(got));
        if (screen.find('\n') != std::string::npos) break;
    }
    return screen;
}

TEST(PasswordPromptTest, ReadsOneLineFromTheTerminalWithoutEcho) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    const int kept_open = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);  // between the two prompts
    // Typed once the prompt shows: switching echo off discards what was typed ahead.
    std::optional<std::string> password;
    std::thread prompt([&] { password = PromptPassword(terminal); });
    std::string screen = ReadScreen(master);
    while (screen.find("Enter password: ") == std::string::npos) {
        const std::string more = ReadScreen(master);
        ASSERT_FALSE(more.empty()) << screen;
        screen += more;
    }
    ASSERT_EQ(::write(master, "s3cr;t\n", 7), 7);
    prompt.join();
    EXPECT_EQ(password, "s3cr;t");
    screen += ReadScreen(master);
    EXPECT_EQ(screen.find("s3cr"), std::string::npos) << "echoed: " << screen;

    // Ctrl-D: no password given, and the prompt's line ended, so that a message starts a line.
    prompt = std::thread([&] { password = PromptPassword(terminal); });
    screen = ReadScreen(master);
    while (screen.find("Enter password: ") == std::string::npos) {
        const std::string more = ReadScreen(master);
        ASSERT_FALSE(more.empty()) << screen;
        screen += more;
    }
    ASSERT_EQ(::write(master, "\x04", 1), 1);
    prompt.join();
    EXPECT_EQ(password, std::nullopt);
    screen += ReadScreen(master);
    EXPECT_NE(screen.find("Enter password: \r\n"), std::string::npos) << screen;
    ::close(kept_open);
    ::close(master);
}

}  // namespace
}  // namespace kestrelmoor::cli
