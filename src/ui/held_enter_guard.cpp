// SPDX-License-Identifier: MIT
#include "ui/held_enter_guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

namespace kestrelmoor::ui {
namespace {

bool IsEnter(const QEvent& event) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) return false;
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The application's filter sees a key event once for each object it is delivered to (the window, the
// focused widget, its parents): what it notes from a press or a release is the same each time.
class HeldEnterFilter : public QObject {
  public:
    using QObject::QObject;

    // Enter went down in a box and had not come up when the box closed.
    bool held_across_box = false;
    // Enter is down now: set by a press, cleared by a release that is not a repeat's.
    bool down = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsEnter(*event)) return false;
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (event->type() == QEvent::KeyRelease) {
            if (!key.isAutoRepeat()) held_across_box = down = false;
            return false;
        }
        const bool presses = qobject_cast<QAbstractButton*>(watched) || qobject_cast<QDialog*>(watched);
        if (presses && (key.isAutoRepeat() || held_across_box)) return true;
        down = true;
        return false;
    }
};

QPointer<HeldEnterFilter>& Filter() {
    static QPointer<HeldEnterFilter> filter;
    return filter;
}

}  // namespace

void GuardButtonsAgainstHeldEnter() {
    if (Filter() || !QCoreApplication::instance()) return;
    Filter() = new HeldEnterFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(Filter());
}

EnterHeldAcrossBox::EnterHeldAcrossBox() {
    GuardButtonsAgainstHeldEnter();
    if (Filter()) Filter()->down = false;  // only a press made while the box is up counts
}

EnterHeldAcrossBox::~EnterHeldAcrossBox() {
    if (Filter() && Filter()->down) Filter()->held_across_box = true;
}

}  // namespace kestrelmoor::ui
