// SPDX-License-Identifier: MIT
// Standard error of the command line: messages, and on a terminal one status line that is redrawn in
// place and that a message never runs into. Control characters in the texts are shown escaped (see
// ShowControls), never obeyed by the terminal.
#pragma once

#include <string>
#include <string_view>

#include "common/error_report.h"
#include "core/run_observer.h"

namespace kestrelmoor::cli {

inline constexpr std::string_view kProgramName = "kestrelmoor-extract";

// Whether a status line, which is redrawn with escape sequences, may be drawn on `fd`: a terminal, and
// one that obeys them (TERM set, and not "dumb").
bool DrawsStatusLine(int fd);
bool DrawsStatusLine(bool terminal, const char* term);

// Whether the two descriptors write to one and the same terminal.
bool SameTerminal(int fd, int other_fd);

// `text` cut to fit a line of a terminal `columns` wide, one column to spare; whole when `columns` is not
// known (0).
std::string FitToWidth(std::string text, int columns);

class Console {
  public:
    // `terminal`: whether a status line is drawn on `fd` (see DrawsStatusLine).
    Console(int fd, bool terminal) : fd_(fd), terminal_(terminal) {}

    bool Terminal() const { return terminal_; }
    // Replaces the status line with `text`.
    void Status(std::string_view text);
    // Keeps the status line as it stands and moves below it.
    void EndStatus();
    // Erases the status line, leaving the cursor at the start of its line; the next Status draws it.
    void ClearStatus();
    // Prints "kestrelmoor-extract: <text>" on a line of its own, clearing the status line first. A line
    // feed in `text` starts a new line; every other control character is shown escaped.
    void Message(std::string_view text);
    // How many messages were printed so far.
    int Messages() const { return messages_; }

  private:
    void Put(std::string_view bytes);

    int fd_;
    bool terminal_;
    bool status_shown_ = false;
    int messages_ = 0;
};

// The run's error reports as messages: the description, after the table it concerns; with `verbose`
// also the line the window's report would name. A login that fails is said once, with what to check,
// and ends the run: every table would only fail on the missing connection.
class ConsoleReport : public ErrorReport, public RunObserver {
  public:
    explicit ConsoleReport(Console& console, bool verbose = false) : console_(console), verbose_(verbose) {}

    void ReportFailure(std::string_view description, std::string_view location, int line) override;
    // A report built elsewhere: its lines, without the carriage returns of the window's layout.
    void ShowErrorReport(const std::string& text) override;

    void TableStarted(std::string_view database, std::string_view table) override;
    void TableEnded(std::int64_t /*rows*/, bool /*complete*/) override { table_.clear(); }
    // A failed login stops the run.
    RunControl FailureReported(std::string_view description, StartExtractingStep step) override;
    // Said once; not a failure.
    void ConnectionsRefused(int connections) override;

    int Failures() const { return failures_; }

  private:
    Console& console_;
    bool verbose_;
    std::string table_;  // the table being read, quoted and qualified as a statement names it; if any
    int failures_ = 0;
};

}  // namespace kestrelmoor::cli
