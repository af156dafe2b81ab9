// SPDX-License-Identifier: MIT
#include "cli/login/password_prompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/file_descriptor.h"
#include "common/signal_undo.h"

namespace kestrelmoor::cli {
namespace {

constexpr const char* kAdvice = "; give the password with --password=PASSWORD or $MYSQL_PWD";

// Closes the terminal and puts its echo back however the prompt ends: a return, an exception, or a
// signal (Ctrl-C, a kill) that ends the program.
class Terminal {
  public:
    explicit Terminal(int fd) : fd_(fd) {}
    ~Terminal() {
        undo_.reset();
        if (echo_off_) Restore(this);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool EchoOff() {
        if (::tcgetattr(fd_.get(), &saved_) != 0) return false;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        // Known to the signal handler before echo goes off, so that no moment is left without it.
        undo_ = std::make_unique<SignalUndo>(Restore, this);
        echo_off_ = ::tcsetattr(fd_.get(), TCSAFLUSH, &quiet) == 0;
        if (!echo_off_) undo_.reset();
        return echo_off_;
    }
    void Write(const char* text) { WriteAll(fd_.get(), text); }
    int fd() const { return fd_.get(); }

  private:
    // Async-signal-safe: tcsetattr is.
    static void Restore(void* terminal) {
        const auto* self = static_cast<const Terminal*>(terminal);
        ::tcsetattr(self->fd_.get(), TCSAFLUSH, &self->saved_);
    }

    FileDescriptor fd_;  // closed after the echo is back
    termios saved_{};
    bool echo_off_ = false;
    std::unique_ptr<SignalUndo> undo_;
};

}  // namespace

std::optional<std::string> PromptPassword(const std::string& terminal, const std::string& asked_by) {
    const int fd = ::open(terminal.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw PromptError(asked_by + " asks for the password on the terminal, but there is none (" +
                          terminal + ": " + std::strerror(errno) + ")" + kAdvice);
    }
    Terminal tty(fd);
    if (!::isatty(fd) || !tty.EchoOff()) {
        throw PromptError(asked_by + " asks for the password on the terminal, but " + terminal +
                          " is not one" + kAdvice);
    }
    tty.Write("Enter password: ");
    std::string password;
    char c = 0;
    while (true) {
        const ssize_t got = ReadSome(fd, &c, 1);
        if (got < 0) throw PromptError(std::string("cannot read the password: ") + std::strerror(errno));
        if (got == 0) {
            tty.Write("\n");  // the user ended no line: what is said next starts one of its own
            if (password.empty()) return std::nullopt;
            break;
        }
        if (c == '\n') break;
        password += c;
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return password;
}

}  // namespace kestrelmoor::cli
