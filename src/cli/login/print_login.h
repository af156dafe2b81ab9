// SPDX-License-Identifier: MIT
#pragma once

#include <ostream>

#include "cli/login/login.h"

namespace kestrelmoor::cli {

// --print-login: one line per value, "NAME<TAB>VALUE<TAB>(WHERE FROM)", e.g.
// "host	127.0.0.1	(command line)", first the transport ("TCP to HOST:PORT" or "socket PATH").
// The user is the one the server will see, the system login name when none was given. The password shows as
// ******** or (none), never itself. Control characters are written escaped, as in messages.
void PrintLogin(const ResolvedLogin& login, std::ostream& out);

}  // namespace kestrelmoor::cli
