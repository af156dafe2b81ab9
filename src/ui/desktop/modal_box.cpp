// SPDX-License-Identifier: MIT
#include "ui/desktop/modal_box.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QWindow>

#include "ui/desktop/held_enter_guard.h"

namespace kestrelmoor::ui {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// Lets user input reach only the box, for as long as it is installed.
class InputOnlyForBox : public QObject {
  public:
    explicit InputOnlyForBox(QWidget& box) : box_(box) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsUserInput(event->type()) || Inside(watched)) return false;
        if (event->type() == QEvent::MouseButtonPress) {
            box_.raise();
            box_.activateWindow();
        }
        return true;
    }

  private:
    bool Inside(QObject* target) const {
        if (const auto* widget = qobject_cast<QWidget*>(target)) return widget->window() == &box_;
        if (const auto* window = qobject_cast<QWindow*>(target)) return window == box_.windowHandle();
        return true;
    }

    QWidget& box_;
};

}  // namespace

int RunMessageBox(QMessageBox& box) {
    const EnterHeldAcrossBox enter_watch;
    InputOnlyForBox filter(box);
    QApplication::instance()->installEventFilter(&filter);
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&box, &QDialog::finished, &loop, [&loop] { loop.exit(); });
    box.show();
    box.activateWindow();
    loop.exec(QEventLoop::DialogExec);
    QApplication::instance()->removeEventFilter(&filter);
    return box.standardButton(box.clickedButton());
}

}  // namespace kestrelmoor::ui
