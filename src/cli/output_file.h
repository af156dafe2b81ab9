// A named output file that is replaced only as a whole: the addresses are written to a temporary
// file beside it, which takes the file's place only when everything was written. Until then, and
// for ever after a failure, the old file stays as it was.
#pragma once

#include <string>

namespace kestrelmoor::cli {

class OutputFile {
  public:
    // Makes the temporary file (with the existing file's permissions, or the usual ones for a new file).
    // A target that exists but is no regular file (a device, a pipe) is written directly. Throws
    // std::system_error whose what() names the file when it cannot be written.
    explicit OutputFile(std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return fd_; }
    const std::string& path() const { return path_; }

    // Puts what was written in the target's place (flushed to disk first). Throws std::system_error
    // naming the file on failure, leaving the old file. Call once, after the last write.
    void Commit();

  private:
    std::string path_;       // the target, symbolic links resolved
    std::string temporary_;  // empty when the target is written directly
    int fd_ = -1;
};

}  // namespace kestrelmoor::cli
