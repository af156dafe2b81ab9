// SPDX-License-Identifier: MIT
#include "cli/output_writer.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kestrelmoor::cli {
namespace {
constexpr std::size_t kFlushAt = 64 * 1024;

// The reader has gone (`| head`): the program ends as the tools of a pipeline do, quietly, by SIGPIPE
// (the shell's status 141), at once instead of reading on. The client library has the signal ignored,
// so it is given its default action back first.
[[noreturn]] void EndByBrokenPipe() {
    ::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    ::sigemptyset(&pipe);
    ::sigaddset(&pipe, SIGPIPE);
    ::pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    ::raise(SIGPIPE);
    std::_Exit(128 + SIGPIPE);
}
}  // namespace

OutputWriter::~OutputWriter() {
    // A destructor must not throw; callers that care about errors flush explicitly first.
    try {
        Flush();
    } catch (const WriteError&) {
    }
}

void OutputWriter::Write(std::string_view bytes) {
    pending_.append(bytes);
    if (pending_.size() >= kFlushAt) Flush();
}

void OutputWriter::Flush() {
    std::size_t done = 0;
    while (done < pending_.size()) {
        ssize_t wrote = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            if (errno == EPIPE) EndByBrokenPipe();
            pending_.clear();
            throw WriteError(errno, std::generic_category(), "write");
        }
        done += static_cast<std::size_t>(wrote);
    }
    pending_.clear();
}

}  // namespace kestrelmoor::cli
