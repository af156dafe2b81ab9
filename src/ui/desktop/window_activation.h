// SPDX-License-Identifier: MIT
// A window shown where no window manager runs (a kiosk, some remote sessions) is activated by the
// program itself: nothing else would give it the keyboard focus, so no focus would be drawn and no
// screen reader would hear of any.
#pragma once

class QWidget;

namespace kestrelmoor::ui {

// From now on, each time `window` is shown with no window manager running, it is activated.
void ActivateWhenShown(QWidget& window);

// Whether a window manager runs on the display: on X11, one that says so on the root window
// (_NET_SUPPORTING_WM_CHECK naming a window that names itself); elsewhere the compositor is taken for one.
bool WindowManagerRuns();

}  // namespace kestrelmoor::ui
