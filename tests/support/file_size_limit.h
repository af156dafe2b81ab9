// SPDX-License-Identifier: MIT
// Makes this process's writes into a file past a given size fail (EFBIG) for as long as it lives, root's
// writes too: a write failure that file permissions cannot give a test run as root.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace kestrelmoor::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        old_handler_ = ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
    sighandler_t old_handler_ = SIG_DFL;
};

}  // namespace kestrelmoor::test
