// SPDX-License-Identifier: MIT
#include "ui/desktop/pointer_feedback.h"

#include "ui/desktop/cursor_file.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QVariant>
#include <QWidget>

namespace kestrelmoor::ui {
namespace {

// The pointer state that movement over a control sets, kept on the control itself.
constexpr const char* kHoverTargetProperty = "kestrelmoorHoverTarget";

}  // namespace

WindowPointer::WindowPointer(QWidget& window) : window_(window) {}

QCursor WindowPointer::CursorFor(PointerState state) const {
    switch (state) {
        case PointerState::kHourglass:
            return QCursor(Qt::WaitCursor);
        case PointerState::kCustom:
            return has_picture_ ? picture_ : QCursor(Qt::ArrowCursor);
        default:
            return QCursor(Qt::ArrowCursor);
    }
}

void WindowPointer::SetState(PointerState state) {
    const PointerState previous = state_;
    state_ = state;
    if (state == PointerState::kHourglass) {
        if (previous != PointerState::kHourglass) {
            // Controls with a pointer of their own (the text boxes' I-beam) would show it over the
            // hourglass; they take the hourglass until the state changes again.
            for (QWidget* control : window_.findChildren<QWidget*>()) {
                if (control->window() == &window_ && control->testAttribute(Qt::WA_SetCursor)) {
                    covered_.emplace_back(control, control->cursor());
                    control->setCursor(Qt::WaitCursor);
                }
            }
        }
        window_.setCursor(Qt::WaitCursor);
        return;
    }
    RestoreOwnCursors();
    if (state == PointerState::kDefault || (state == PointerState::kCustom && !has_picture_)) {
        window_.unsetCursor();
    } else {
        window_.setCursor(CursorFor(state));
    }
}

void WindowPointer::RestoreOwnCursors() {
    for (auto& [control, cursor] : covered_) {
        if (control) {
            control->setCursor(cursor);
        }
    }
    covered_.clear();
}

bool WindowPointer::LoadPicture(const QString& path) {
    has_picture_ = false;
    picture_ = QCursor();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        // A cursor file is a few kilobytes; anything far larger is not one.
        constexpr qint64 kLargestFile = 1 << 20;
        if (file.size() <= kLargestFile) {
            if (const std::optional<CursorPicture> decoded = DecodeCursorFile(file.readAll())) {
                picture_ =
                    QCursor(QPixmap::fromImage(decoded->image), decoded->hotspot.x(), decoded->hotspot.y());
                has_picture_ = true;
            }
        }
    }
    if (state_ == PointerState::kCustom) {
        SetState(state_);
    }
    return has_picture_;
}

void WindowPointer::AddHoverTarget(QWidget& control, PointerState target) {
    QWidget* watched = &control;
    if (auto* list = qobject_cast<QAbstractScrollArea*>(&control)) {
        // The rows of a list lie on its viewport, which receives the movement.
        watched = list->viewport();
    }
    watched->setProperty(kHoverTargetProperty, static_cast<int>(target));
    watched->setMouseTracking(true);
    watched->installEventFilter(this);
}

bool WindowPointer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) {
        return false;
    }
    auto* control = qobject_cast<QWidget*>(watched);
    if (control == nullptr) {
        return false;
    }
    const QVariant target = control->property(kHoverTargetProperty);
    const auto* move = static_cast<QMouseEvent*>(event);
    // Movement that reached the control from one of its children (a label in the frame) is not its own.
    if (!target.isValid() || control->childAt(move->position().toPoint()) != nullptr) {
        return false;
    }
    const auto wanted = static_cast<PointerState>(target.toInt());
    if (state_ != PointerState::kHourglass && state_ != wanted) {
        SetState(wanted);
    }
    return false;
}

}  // namespace kestrelmoor::ui
