// SPDX-License-Identifier: MIT
// A named output file that is replaced only as a whole: the addresses are written to a temporary
// file beside it, which takes the file's place only when everything was written. Until then, and
// for ever after a failure, the old file stays as it was; and no temporary file outlives the
// program, whatever ends it.
#pragma once

#include <memory>
#include <string>

#include "cli/signal_undo.h"
#include "common/file_descriptor.h"

namespace kestrelmoor::cli {

class OutputFile {
  public:
    // Makes the temporary file (with the existing file's permissions, or the usual ones for a new file).
    // It has no name until the commit where the system allows that (O_TMPFILE), so not even a kill
    // leaves it behind; elsewhere it is named and removed when a signal ends the program.
    // A symbolic link is followed, so that its target is written and the link stays; a dangling
    // link's target is created. A target that exists but is no regular file (a device, a pipe) is
    // written directly. Throws std::system_error whose what() names the file when it cannot be
    // written. `allow_unnamed` false makes a named temporary file, as where O_TMPFILE is missing.
    explicit OutputFile(std::string path, bool allow_unnamed = true);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }

    // Puts what was written in the target's place (flushed to disk first). Throws std::system_error
    // naming the file on failure, leaving the old file. Call once, after the last write.
    void Commit();

  private:
    bool OpenUnnamed();
    void OpenNamed();
    void NameTemporary(const std::string& name);
    void LinkUnnamed();
    // Closes and removes the temporary file.
    void Discard();

    std::string path_;       // the target, symbolic links resolved
    std::string temporary_;  // the temporary file's name while it has one
    FileDescriptor fd_;
    bool unnamed_ = false;              // fd_ is a temporary file without a name
    std::unique_ptr<SignalUndo> undo_;  // removes temporary_ when a signal ends the program
};

}  // namespace kestrelmoor::cli
