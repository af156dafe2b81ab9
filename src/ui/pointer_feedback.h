// A window's pointer: the state 0 (default), 1 (plain arrow), 11 (hourglass) or 99 (the window's own
// picture, loaded from the hand cursor file), and the hover feedback that moves it between 0 and 99
// without ever replacing the hourglass.
#pragma once

#include <QCursor>
#include <QObject>
#include <QString>

class QWidget;

namespace kestrelmoor::ui {

enum PointerState : int { kPointerDefault = 0, kPointerArrow = 1, kPointerHourglass = 11, kPointerCustom = 99 };

class WindowPointer : public QObject {
  public:
    explicit WindowPointer(QWidget& window);

    int State() const { return state_; }
    // Shows the state's pointer over the whole window at once (99 without a picture shows the default).
    void SetState(int state);

    // Loads the window's own picture from a cursor file; false, with no picture, when it cannot.
    bool LoadPicture(const QString& path);
    bool HasPicture() const { return has_picture_; }

    // Mouse movement over `control` sets `target` (0 or 99) unless the hourglass shows.
    void AddHoverTarget(QWidget& control, int target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    int state_ = kPointerDefault;
    QCursor picture_;
    bool has_picture_ = false;
};

}  // namespace kestrelmoor::ui
