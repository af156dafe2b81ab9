// SPDX-License-Identifier: MIT
// A window's control found as a screen reader finds it: by its accessible name (a button's caption, a
// box's label), never by its object name, which is there for skins.
#pragma once

#include <QAccessible>
#include <QString>
#include <QWidget>
#include <stdexcept>

namespace kestrelmoor::test {

template <class Control>
Control& ControlByName(const QWidget& window, const QString& name) {
    for (Control* control : window.findChildren<Control*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (accessible != nullptr && accessible->text(QAccessible::Name) == name) return *control;
    }
    throw std::logic_error("no control named " + name.toStdString());
}

}  // namespace kestrelmoor::test
