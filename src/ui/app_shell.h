// SPDX-License-Identifier: MIT
// Start-up helpers: the display name and application title, the occasional home-page visit, and the
// shared file test.
#pragma once

#include <functional>

#include <QIcon>
#include <QString>

namespace kestrelmoor::ui {

class Toolkit;

inline constexpr const char* kDisplayName = "Kestrelmoor";
inline constexpr const char* kHomePage = "https://kestrelmoor.org/";

// The display name cut at its last space, again while longer than 40 characters; a name without a
// space keeps the whole name, and once no space is left what remains is kept, however long.
QString AppTitleFor(const QString& display_name);

// Whether the build has the home-page visit (the KESTRELMOOR_HOME_PAGE_VISIT option; distributions
// leave it out, as they turn off network access nobody asked for).
inline constexpr bool kHomePageVisit = KESTRELMOOR_HOME_PAGE_VISIT;

// Draws a whole number from 1 to 100 from `random` (a fraction in [0, 1)); on 7 hands the home page to
// the desktop's opener, whose outcome is not looked at. Does nothing in a build without the visit.
void MaybeOpenHomePage(Toolkit& toolkit, const std::function<double()>& random);

// True when the date and time of the path can be read; never fails.
bool FileExists(const QString& path);

// The program's icon (32, 48, 128 and 256 pixels), built into the program.
QIcon ProgramIcon();

}  // namespace kestrelmoor::ui
