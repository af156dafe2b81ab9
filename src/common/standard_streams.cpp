// SPDX-License-Identifier: MIT
#include "common/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kestrelmoor {
namespace {

bool IsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// Without /dev/null (a bare chroot) the root folder holds the number: it cannot be written either,
// and reading it fails with EISDIR.
int OpenPlaceholder(int fd) {
    const int placeholder = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
    return placeholder >= 0 ? placeholder : ::open("/", O_RDONLY | O_DIRECTORY);
}

}  // namespace

void HoldStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (IsOpen(fd)) continue;
        const int placeholder = OpenPlaceholder(fd);
        // Closed lower numbers were filled first, so the lowest free number is this one.
        if (placeholder != fd) {
            // Nothing else is safe: whatever the program opens next could take this number.
            ::_exit(1);
        }
    }
}

bool OpenForWriting(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && (flags & O_ACCMODE) != O_RDONLY;
}

}  // namespace kestrelmoor
