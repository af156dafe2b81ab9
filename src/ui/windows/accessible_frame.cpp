// SPDX-License-Identifier: MIT
#include "ui/windows/accessible_frame.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QVariant>
#include <QWidget>

namespace kestrelmoor::ui {
namespace {

constexpr const char* kFrameProperty = "kestrelmoorAccessibleFrame";

// A plain widget window is otherwise presented as a client area, which the desktop's accessibility
// bus turns into a filler.
QAccessibleInterface* FrameFactory(const QString& /*class_name*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || !widget->isWindow() || !widget->property(kFrameProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void PresentAsFrame(QWidget& window, const QString& name) {
    static const bool installed = [] {
        QAccessible::installFactory(FrameFactory);
        return true;
    }();
    (void)installed;
    window.setProperty(kFrameProperty, true);
    window.setAccessibleName(name);
}

}  // namespace kestrelmoor::ui
