// SPDX-License-Identifier: MIT
// The option files that the mariadb client reads, read the same way: the groups [client],
// [client-server], [client-mariadb] and [kestrelmoor-extract], "!include FILE" and "!includedir DIR".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/login/login_options.h"
#include "cli/login/options.h"

namespace kestrelmoor::cli {

struct OptionFile {
    std::string path;
    bool required = false;  // named on the command line: a file that cannot be read is a failure
};

// The files in the order read, later ones overriding earlier ones: /etc/my.cnf, /etc/mysql/my.cnf,
// the --defaults-extra-file, then ~/.my.cnf (when `home` is known); only the --defaults-file; or none.
std::vector<OptionFile> OptionFilesFor(const OptionFileChoice& choice,
                                       const std::optional<std::string>& home);

using OptionFileNote = std::function<void(const std::string& note)>;

// The login settings of the files in order, each with its file as origin and its key in full. A file
// that does not exist is passed over unless required (then std::runtime_error); one that exists but
// cannot be used (a folder, unreadable; read by default: a FIFO or device, never opened) is a
// std::runtime_error when required, else passed over with a note naming it; so is a file over 1 MiB
// or with a line over 64 KiB. A regular file that anyone may write is ignored with the client's
// warning as the note, also when named or included. Keys that other
// programs read from the shared groups are passed over; an unknown key in [kestrelmoor-extract], an
// option before any group, an abbreviated key that could be several and a missing !includedir folder
// are UsageErrors naming the file and line. An abbreviated key taken is told to `note`.
std::vector<Setting> ReadOptionFiles(const std::vector<OptionFile>& files, const OptionFileNote& note = {});

}  // namespace kestrelmoor::cli
