// SPDX-License-Identifier: MIT
// Every window's first position: its frame (the window with the title bar and borders the window
// manager adds) in the middle of the primary screen's available area.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace kestrelmoor::ui {

// Where the frame's top-left corner goes so that a frame of `client` plus `frame` stands in the middle
// of `available`.
QPoint CentredFramePosition(const QRect& available, const QSize& client, const QMargins& frame);

// Places a window of fixed size so, with the frame extents of the program's windows when the window
// manager has told them, else as if it had none; when the window manager tells them only once the
// window is first shown, the window is placed again then (and only then).
void CentreOnScreen(QWidget& window);

}  // namespace kestrelmoor::ui
