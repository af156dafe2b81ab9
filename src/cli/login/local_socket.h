// SPDX-License-Identifier: MIT
// The Unix socket of the server "localhost" when no command line names one, found as the mariadb client
// and kestrelmoor-extract find it: the option files' socket, else MYSQL_UNIX_PORT, else none (the client
// library's default). The window uses it, so that both front ends reach the same local server.
#pragma once

#include <optional>
#include <string>

#include "cli/login/option_files.h"

namespace kestrelmoor::cli {

// Option files that stop kestrelmoor-extract (a line outside any group, a bad value) are passed over
// here, with a note; their socket is not taken.
std::optional<std::string> LocalSocket(const OptionFileNote& note);

}  // namespace kestrelmoor::cli
