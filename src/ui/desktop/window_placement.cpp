// SPDX-License-Identifier: MIT
#include "ui/desktop/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace kestrelmoor::ui {
namespace {

// The frame extents last learnt from a window of the program: both windows have the same decoration.
QMargins& KnownFrame() {
    static QMargins frame;
    return frame;
}

QPoint CentredOnPrimaryScreen(const QWidget& window, const QMargins& frame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return window.pos();
    return CentredFramePosition(screen->availableGeometry(), window.size(), frame);
}

// Watches a window from its first showing until the window manager has told its frame extents (they
// arrive with the window's first exposure or move), then places it again if they differ from those it
// was placed with.
class PlaceWhenFrameKnown : public QObject {
  public:
    PlaceWhenFrameKnown(QWidget& window, const QMargins& placed_with)
        : QObject(&window), window_(&window), placed_with_(placed_with) {
        window.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show && window_->windowHandle() != nullptr) {
            window_->windowHandle()->installEventFilter(this);
        } else if (watched != window_ && (event->type() == QEvent::Expose || event->type() == QEvent::Move)) {
            auto* handle = static_cast<QWindow*>(watched);
            const QMargins frame = handle->frameMargins();
            if (!frame.isNull()) {
                KnownFrame() = frame;
                if (frame != placed_with_) handle->setFramePosition(CentredOnPrimaryScreen(*window_, frame));
                handle->removeEventFilter(this);
                deleteLater();
            }
        }
        return false;
    }

  private:
    QPointer<QWidget> window_;
    QMargins placed_with_;
};

}  // namespace

QPoint CentredFramePosition(const QRect& available, const QSize& client, const QMargins& frame) {
    const int width = client.width() + frame.left() + frame.right();
    const int height = client.height() + frame.top() + frame.bottom();
    return {available.x() + (available.width() - width) / 2,
            available.y() + (available.height() - height) / 2};
}

void CentreOnScreen(QWidget& window) {
    const QMargins frame = KnownFrame();
    window.move(CentredOnPrimaryScreen(window, frame));  // before the window exists: the frame's corner
    new PlaceWhenFrameKnown(window, frame);
}

}  // namespace kestrelmoor::ui
