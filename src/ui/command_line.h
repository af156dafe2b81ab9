// SPDX-License-Identifier: MIT
// The window program's command line, read before the window system is touched, and the one-line
// report when no display can be opened.
#pragma once

namespace kestrelmoor::ui {

inline constexpr int kGoOnToTheWindow = -1;

// --help and --version print to standard output and give 0; any other argument is refused on standard
// error with 2, as the program has no other options (Qt's own, such as -reverse or -style, are not
// taken either). Gives kGoOnToTheWindow when there are no arguments.
int HandleCommandLine(int argc, char** argv);

// Until the application object is made: a failure of the window system to start (no display, a
// display that does not answer) is told in one line on standard error and ends the program with
// status 1, instead of Qt's abort. Qt's warnings meanwhile are held back; one of them names the
// cause.
void ReportAFailedWindowSystemInOneLine();
// Qt's own message handling again, once the application object exists.
void RestoreQtMessages();

}  // namespace kestrelmoor::ui
