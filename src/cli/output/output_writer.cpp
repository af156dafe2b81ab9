// SPDX-License-Identifier: MIT
#include "cli/output/output_writer.h"
#include "common/file_descriptor.h"

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
    const int error = WriteAll(fd_, pending_);
    pending_.clear();
    if (error == EPIPE) EndByBrokenPipe();
    if (error != 0) throw WriteError(error, std::generic_category(), "write");
}

}  // namespace kestrelmoor::cli
