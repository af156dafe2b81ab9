// SPDX-License-Identifier: MIT
#include "cli/output/console.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "cli/output/terminal_text.h"
#include "common/error_locations.h"
#include "common/file_descriptor.h"
#include "db/sql_identifier.h"

namespace kestrelmoor::cli {

bool DrawsStatusLine(bool terminal, const char* term) {
    return terminal && term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
}

bool DrawsStatusLine(int fd) {
    return DrawsStatusLine(::isatty(fd) == 1, std::getenv("TERM"));
}

bool SameTerminal(int fd, int other_fd) {
    struct stat one {};
    struct stat other {};
    return ::isatty(fd) == 1 && ::isatty(other_fd) == 1 && ::fstat(fd, &one) == 0 &&
           ::fstat(other_fd, &other) == 0 && one.st_rdev == other.st_rdev;
}

void Console::Put(std::string_view bytes) {
    // Messages are best effort: there is nowhere left to report a failing standard error.
    WriteAll(fd_, bytes);
}

std::string FitToWidth(std::string text, int columns) {
    if (columns <= 1) return text;
    // One column short of the width: a line that fills it would move the cursor onto the next line at
    // once on some terminals, and every redraw would leave a line behind. Characters beyond ASCII are
    // counted as one column each.
    std::size_t bytes = 0;
    for (int shown = 0; bytes < text.size(); ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) continue;
        if (++shown == columns) break;
    }
    text.resize(bytes);
    return text;
}

void Console::Status(std::string_view text) {
    if (!terminal_) return;
    // Back to the line's start, the new text cut to the terminal's width (a line that wraps could not be
    // redrawn in place), and the rest of a longer old text erased.
    winsize size{};
    const int columns = ::ioctl(fd_, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    std::string line = "\r";
    line += FitToWidth(ShowControls(text), columns);
    line += "\x1b[K";
    Put(line);
    status_shown_ = true;
}

void Console::EndStatus() {
    if (!status_shown_) return;
    Put("\n");
    status_shown_ = false;
}

void Console::ClearStatus() {
    if (!status_shown_) return;
    Put("\r\x1b[K");
    status_shown_ = false;
}

void Console::Message(std::string_view text) {
    std::string line = status_shown_ ? "\r\x1b[K" : "";
    status_shown_ = false;
    ++messages_;
    line += kProgramName;
    line += ": ";
    line += ShowControls(text, /*keep_line_feeds=*/true);
    line += '\n';
    Put(line);
}

void ConsoleReport::TableStarted(std::string_view database, std::string_view table) {
    table_ = db::TableReference(database, table);
}

void ConsoleReport::ReportFailure(std::string_view description, std::string_view /*location*/, int line) {
    ++failures_;
    std::string text;
    const bool login_failed = line == LineOf(StartExtractingStep::Login);
    if (login_failed) {
        text = "cannot log in: ";
    } else if (!table_.empty()) {
        text = "table " + table_ + ": ";
    }
    // A server message's own line breaks are shown, not obeyed: the message stays one line.
    text += description;
    text = ShowControls(text);
    if (verbose_) text += " (at line " + std::to_string(line) + ")";
    console_.Message(text);
    if (login_failed) {
        console_.Message(
            "check the host, port, user name, password and TLS options; --print-login shows the login used");
    }
}

RunControl ConsoleReport::FailureReported(std::string_view /*description*/, StartExtractingStep step) {
    return step == StartExtractingStep::Login ? RunControl::Stop : RunControl::Continue;
}

void ConsoleReport::ConnectionsRefused(int connections) {
    console_.Message("the server refused more connections; reading with " + std::to_string(connections));
}

void ConsoleReport::ShowErrorReport(const std::string& text) {
    ++failures_;
    std::string lines;
    for (char c : text) {
        if (c == '\r') {
            if (lines.empty() || lines.back() != '\n') lines += '\n';
        } else {
            lines += c;
        }
    }
    console_.Message(lines);
}

}  // namespace kestrelmoor::cli
