// SPDX-License-Identifier: MIT
// A held Enter presses a button once. Enter on a focused button presses it, and the key repeats while
// it is held: each repeat would press the button again (a new run that empties the result list).
// Likewise the Enter that closes a box is often still held when the box has gone, and its presses then
// reach the button that has the focus behind the box.
#pragma once

namespace kestrelmoor::ui {

// From the first call on, for as long as the application lives: an Enter or Return press reaches no
// button (nor a dialog, which would press its default button) when it is a repeat of a held key, or
// when it comes after a box was closed with that key still down and before the key's release.
void GuardButtonsAgainstHeldEnter();

// For the time a box or dialog is up: watches whether Enter goes down in it and is still down when
// the box closes; the button behind the box then ignores its presses until it is released.
class EnterHeldAcrossBox {
  public:
    EnterHeldAcrossBox();
    ~EnterHeldAcrossBox();
    EnterHeldAcrossBox(const EnterHeldAcrossBox&) = delete;
    EnterHeldAcrossBox& operator=(const EnterHeldAcrossBox&) = delete;
};

}  // namespace kestrelmoor::ui
