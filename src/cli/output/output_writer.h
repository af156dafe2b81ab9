// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace kestrelmoor::cli {

// Output could not be delivered; kept apart from read errors so that a run stops at once on it.
struct WriteError : std::system_error {
    using std::system_error::system_error;
};

// Buffered writes to a file descriptor that report failure (a full disk) by throwing WriteError instead
// of losing output silently. A pipe whose reader has gone ends the program quietly by SIGPIPE.
class OutputWriter {
  public:
    explicit OutputWriter(int fd) : fd_(fd) {}
    OutputWriter(const OutputWriter&) = delete;
    OutputWriter& operator=(const OutputWriter&) = delete;
    ~OutputWriter();

    void Write(std::string_view bytes);
    void Flush();

  private:
    int fd_;
    std::string pending_;
};

}  // namespace kestrelmoor::cli
