// SPDX-License-Identifier: MIT
// A named output file that is replaced only as a whole: the window's saved results and the command
// line's --output. The one policy for what the name may be:
// - a regular file, or a new one, is written as a temporary file beside it (same folder, so the rename
//   cannot cross file systems), flushed to disk and renamed over it only when everything was written,
//   keeping the old file's permissions (the usual ones for a new file). Until then, and for ever after a
//   failure, the old file stays as it was, and no temporary file outlives the program, whatever ends
//   it. An existing file without write permission is refused, as a shell's ">" refuses it;
// - a symbolic link is followed, link by link, and its target replaced: the link stays a link (a
//   dangling link's target is created);
// - anything else but a folder (a device such as /dev/stdout, a pipe, a socket) cannot be renamed
//   over and is written in place; a pipe without a reader is waited for only where the caller can
//   wait (the command line, as a shell's ">" does), a window is told at once (ENXIO).
#pragma once

#include <memory>
#include <string>

#include "common/file_descriptor.h"
#include "common/signal_undo.h"

namespace kestrelmoor {

enum class PipeReader { kWait, kMustBeThere };

class OutputFile {
  public:
    // Opens the target or makes the temporary file. The temporary file has no name until the commit
    // where the system allows that (O_TMPFILE), so not even a kill leaves it behind; elsewhere it is
    // named and removed when a signal ends the program. Throws std::system_error whose what() names
    // the file when it cannot be written. `allow_unnamed` false makes a named temporary file, as where
    // O_TMPFILE is missing.
    explicit OutputFile(std::string path, PipeReader pipe_reader = PipeReader::kWait,
                        bool allow_unnamed = true);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    int fd() const { return fd_.get(); }
    const std::string& path() const { return path_; }

    // Puts what was written in the target's place (flushed to disk first). Throws std::system_error
    // naming the file on failure, leaving the old file. Call once, after the last write.
    void Commit();
    // Gives the file up uncommitted: closes it and removes the temporary file. The destructor does this
    // too; a program ending at once (a window closed during a save) calls it first.
    void Discard();

  private:
    void OpenInPlace(PipeReader pipe_reader);
    bool OpenUnnamed();
    void OpenNamed();
    void NameTemporary(const std::string& name);
    void LinkUnnamed();

    std::string path_;       // the target, symbolic links resolved
    std::string temporary_;  // the temporary file's name while it has one
    FileDescriptor fd_;
    bool unnamed_ = false;              // fd_ is a temporary file without a name
    std::unique_ptr<SignalUndo> undo_;  // removes temporary_ when a signal ends the program
};

}  // namespace kestrelmoor
