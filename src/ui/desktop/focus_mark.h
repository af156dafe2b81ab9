// SPDX-License-Identifier: MIT
// The mark that shows which control has the keyboard focus: a solid ring two pixels wide, black or
// white, whichever stands out more from the colours it lies between, so that it stands out at least
// 3:1 from each of them.
#pragma once

#include <initializer_list>

#include <QColor>
#include <QRect>

class QPainter;

namespace kestrelmoor::ui {

inline constexpr int kFocusMarkWidth = 2;

// The contrast ratio of two colours, from 1 (the same) to 21 (black and white), by relative luminance.
double ContrastRatio(const QColor& a, const QColor& b);

// Black or white: the one whose lowest contrast against `neighbours` is the higher.
QColor FocusMarkColor(std::initializer_list<QColor> neighbours);

// The ring along the inside of `rect`.
void DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& color);

}  // namespace kestrelmoor::ui
