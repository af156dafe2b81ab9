#include "cli/output_writer.h"

#include <unistd.h>

#include <cerrno>

namespace kestrelmoor::cli {
namespace {
constexpr std::size_t kFlushAt = 64 * 1024;
}

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
            pending_.clear();
            throw WriteError(errno, std::generic_category(), "write");
        }
        done += static_cast<std::size_t>(wrote);
    }
    pending_.clear();
}

}  // namespace kestrelmoor::cli
