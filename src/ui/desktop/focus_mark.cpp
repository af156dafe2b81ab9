// SPDX-License-Identifier: MIT
#include "ui/desktop/focus_mark.h"

#include <algorithm>
#include <cmath>

#include <QPainter>

namespace kestrelmoor::ui {
namespace {

double Luminance(const QColor& color) {
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.red()) + 0.7152 * linear(color.green()) + 0.0722 * linear(color.blue());
}

double LowestContrast(const QColor& mark, std::initializer_list<QColor> neighbours) {
    double lowest = 21.0;
    for (const QColor& neighbour : neighbours) lowest = std::min(lowest, ContrastRatio(mark, neighbour));
    return lowest;
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor FocusMarkColor(std::initializer_list<QColor> neighbours) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return LowestContrast(black, neighbours) >= LowestContrast(white, neighbours) ? black : white;
}

void DrawFocusMark(QPainter& painter, const QRect& rect, const QColor& color) {
    const int w = kFocusMarkWidth;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), color);
    painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), color);
    painter.fillRect(QRect(rect.left(), rect.top() + w, w, rect.height() - 2 * w), color);
    painter.fillRect(QRect(rect.right() - w + 1, rect.top() + w, w, rect.height() - 2 * w), color);
    painter.restore();
}

}  // namespace kestrelmoor::ui
