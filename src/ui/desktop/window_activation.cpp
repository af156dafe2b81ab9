// SPDX-License-Identifier: MIT
#include "ui/desktop/window_activation.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

namespace kestrelmoor::ui {
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The window a window's _NET_SUPPORTING_WM_CHECK names, if any.
std::optional<xcb_window_t> CheckWindow(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t check) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    std::optional<xcb_window_t> named;
    if (reply != nullptr && reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply) == 4) {
        named = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return named;
}

class ActivateOnShow : public QObject {
  public:
    explicit ActivateOnShow(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt activates a window not yet mapped as soon as it is.
        if (event->type() == QEvent::Show && !WindowManagerRuns())
            static_cast<QWidget*>(watched)->activateWindow();
        return false;
    }
};

}  // namespace

bool WindowManagerRuns() {
    const auto* x11 =
        qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr) return true;
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (screen == nullptr || check == XCB_ATOM_NONE) return false;
    // A manager that has gone leaves the root's property behind; its own window went with it.
    const std::optional<xcb_window_t> named = CheckWindow(connection, screen->root, check);
    return named && CheckWindow(connection, *named, check) == named;
}

void ActivateWhenShown(QWidget& window) {
    new ActivateOnShow(window);
}

}  // namespace kestrelmoor::ui
