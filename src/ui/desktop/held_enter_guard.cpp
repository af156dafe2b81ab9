// SPDX-License-Identifier: MIT
#include "ui/desktop/held_enter_guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

#include <optional>

namespace kestrelmoor::ui {
namespace {

bool IsEnter(const QEvent& event) {
    if (event.type() != QEvent::KeyPress && event.type() != QEvent::KeyRelease) return false;
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The application's filter sees a key event once for each object it is delivered to (the window, the
// focused widget, its parents): what it notes from a press or a release is the same each time.
//
// A repeat is not always marked as one. The window system may send a held key's repeats as presses
// alone, or as a release and a press of the same time that Qt takes for a real release when the press
// has not arrived yet (a busy or remote display); a box closing in between makes that likelier. So a
// press while Enter is down, and a press of the same time as the release before it, count as repeats.
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
            if (!key.isAutoRepeat() && down) {
                released_ = {key.timestamp(), held_across_box};
                held_across_box = down = false;
                press_ = {};
            }
            return false;
        }
        if (event != press_.event || key.timestamp() != press_.time) {
            const bool paired = key.timestamp() != 0 && released_ && released_->time == key.timestamp();
            if (paired) held_across_box = released_->held_across_box;
            press_ = {event, key.timestamp(), key.isAutoRepeat() || paired || down || held_across_box};
            released_.reset();
            down = true;
        }
        const bool presses = qobject_cast<QAbstractButton*>(watched) || qobject_cast<QDialog*>(watched);
        return presses && press_.held_back;
    }

  private:
    // The press being delivered (to the focused widget, then its parents) and whether buttons miss it.
    struct Press {
        const QEvent* event = nullptr;
        quint64 time = 0;
        bool held_back = false;
    } press_;
    struct Release {
        quint64 time;
        bool held_across_box;
    };
    std::optional<Release> released_;
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
