// SPDX-License-Identifier: MIT
// Whether a settings file can be used as it stands. The settings library reads any file without
// complaint: random bytes give no values at all, and a value whose quote is never closed takes in
// every line after it (a password then holds the rest of the file). A caller that says nothing would
// go on with values the user never set.
#pragma once

#include <string>

namespace kestrelmoor {

// Why the file at `path` cannot be used, e.g. "it cannot be read: Permission denied", or empty when
// it can. A missing file can be used (it gives the fallbacks); so can one whose folder is missing.
std::string SettingsFileProblem(const std::string& path);

}  // namespace kestrelmoor
