// SPDX-License-Identifier: MIT
// A check of the server's certificate that was asked for (ssl-ca, ssl-capath, ssl-verify-server-cert)
// is never dropped: it turns TLS on whatever turned it off in an option file or earlier on the command
// line. Only a --skip-ssl on the command line after the request is refused: both cannot be meant, and
// the one typed last would otherwise silently drop the other.
#pragma once

#include <vector>

#include "cli/login/login_options.h"

namespace kestrelmoor::cli {

// `given` holds all the settings applied; `option_files` and `command_line` are those settings in
// the order applied. Turns TLS back on when a check was asked for, the request then the origin of
// "ssl"; throws UsageError naming both when a --skip-ssl on the command line comes after the request.
void KeepAskedTlsCheck(LoginOptions& given, const std::vector<Setting>& option_files,
                       const std::vector<Setting>& command_line);

}  // namespace kestrelmoor::cli
