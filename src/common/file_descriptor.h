// SPDX-License-Identifier: MIT
// File descriptors: one owner that closes them, and reads and writes that resume after a signal.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrelmoor {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now; 0, or the errno of a close that failed (a write that never reached the disk).
    int Close();

  private:
    int fd_;
};

// Writes all of `bytes`; 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes);
// read(2) that resumes when a signal interrupts it.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);
// Appends everything up to the end of input to `bytes`, but stops once more than `most` bytes have come;
// 0, or the errno of the read that failed.
int ReadToEnd(int fd, std::string& bytes, std::size_t most = std::string::npos);

}  // namespace kestrelmoor
