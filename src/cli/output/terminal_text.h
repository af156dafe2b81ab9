// SPDX-License-Identifier: MIT
// Text from the server or the user (table and database names, server messages, file names) made safe
// to show on a terminal, where a control character in it would be obeyed: an escape sequence could
// set the window's title, clear the screen or move the cursor over earlier lines.
#pragma once

#include <string>
#include <string_view>

namespace kestrelmoor::cli {

// `text` with each control character written as C escapes: \a \b \t \n \v \f \r by name, every other
// C0 control, DEL and each byte that is not part of valid UTF-8 as \xHH (ESC as \x1b), and the C1
// controls U+0080 to U+009F, which some terminals obey as well, as \u0080 to \u009f. Everything else,
// valid UTF-8 included, is kept; so is the backslash, so shown text may be ambiguous but is never
// obeyed. Showing shown text again changes nothing. `keep_line_feeds` keeps \n as a line break.
std::string ShowControls(std::string_view text, bool keep_line_feeds = false);

}  // namespace kestrelmoor::cli
