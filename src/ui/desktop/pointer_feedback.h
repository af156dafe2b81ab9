// SPDX-License-Identifier: MIT
// A window's pointer: default, plain arrow, hourglass, or the window's own picture (loaded from the
// hand cursor file), and the hover feedback that moves it between default and own picture without
// ever replacing the hourglass.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QCursor>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace kestrelmoor::ui {

enum class PointerState : int { kDefault, kArrow, kHourglass, kCustom };

class WindowPointer : public QObject {
  public:
    explicit WindowPointer(QWidget& window);

    PointerState State() const { return state_; }
    // Shows the state's pointer over the whole window at once (the own picture, while there is none,
    // shows the default).
    // The hourglass also covers the controls that have a pointer of their own, such as text boxes.
    void SetState(PointerState state);

    // Loads the window's own picture from a cursor file; false, with no picture, when it cannot.
    bool LoadPicture(const QString& path);
    bool HasPicture() const { return has_picture_; }

    // Mouse movement over `control` sets `target` (default or own picture) unless the hourglass shows.
    // Movement over a child of `control` (a label in a frame, say) is the child's, not the control's; a
    // scrolling list counts movement over its viewport as its own.
    void AddHoverTarget(QWidget& control, PointerState target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QCursor CursorFor(PointerState state) const;
    void RestoreOwnCursors();

    QWidget& window_;
    PointerState state_ = PointerState::kDefault;
    QCursor picture_;
    bool has_picture_ = false;
    // The controls whose own pointer the hourglass covers, with that pointer.
    std::vector<std::pair<QPointer<QWidget>, QCursor>> covered_;
};

}  // namespace kestrelmoor::ui
