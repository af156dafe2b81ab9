// SPDX-License-Identifier: MIT
#include "common/file_descriptor.h"

#include <unistd.h>

#include <cerrno>

namespace kestrelmoor {

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int FileDescriptor::Close() {
    if (fd_ < 0) return 0;
    const int result = ::close(Release());
    return result == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(fd, bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote < 0) return errno;
        if (wrote == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return 0;
}

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

int ReadToEnd(int fd, std::string& bytes, std::size_t most) {
    char buffer[4096];
    for (const std::size_t start = bytes.size(); bytes.size() - start <= most;) {
        const ssize_t got = ReadSome(fd, buffer, sizeof buffer);
        if (got == 0) return 0;
        if (got < 0) return errno;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return 0;
}

}  // namespace kestrelmoor
