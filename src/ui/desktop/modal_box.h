// SPDX-License-Identifier: MIT
// Message boxes that hold the program's windows as a modal box does, but not their close buttons.
#pragma once

class QMessageBox;

namespace kestrelmoor::ui {

// Shows the box and returns the standard button that closed it (QMessageBox::NoButton when it was
// closed otherwise). Meanwhile clicks and keys meant for any other window are dropped and bring the box
// to the front; a window's close button still reaches the window, which ends the program. (A box that
// is modal in the window system's sense makes it ignore the close buttons of the windows it blocks.)
int RunMessageBox(QMessageBox& box);

}  // namespace kestrelmoor::ui
