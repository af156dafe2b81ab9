// SPDX-License-Identifier: MIT
// What a screen reader makes of a top-level window: a frame (not an anonymous filler) with a name of
// its own, so that the two windows, which share their title, can be told apart.
#pragma once

#include <QString>

class QWidget;

namespace kestrelmoor::ui {

// `window` is presented as a frame named `name`; its title bar keeps its title. Call before anything
// asks for the window's accessibility (before it is shown).
void PresentAsFrame(QWidget& window, const QString& name);

}  // namespace kestrelmoor::ui
