// A window's pointer: the state 0 (default), 1 (plain arrow), 11 (hourglass) or 99 (the window's own
// picture, loaded from the hand cursor file), and the hover feedback that moves it between 0 and 99
// without ever replacing the hourglass.
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QWidget;

namespace kestrelmoor::ui {

enum PointerState : int {
    kPointerDefault = 0,
    kPointerArrow = 1,
    kPointerHourglass = 11,
    kPointerCustom = 99
};

// The first image of a Windows cursor file (.cur; an icon file is read the same way, with its hot spot
// in the middle) and its hot spot. Images are stored as PNG or as a device-independent bitmap of 1, 4,
// 8, 24 or 32 bits per pixel with its transparency mask. std::nullopt for anything malformed or cut
// short.
struct CursorPicture {
    QImage image;
    QPoint hotspot;
};
std::optional<CursorPicture> DecodeCursorFile(const QByteArray& bytes);

class WindowPointer : public QObject {
  public:
    explicit WindowPointer(QWidget& window);

    int State() const { return state_; }
    // Shows the state's pointer over the whole window at once (99 without a picture shows the default).
    // The hourglass also covers the controls that have a pointer of their own, such as text boxes.
    void SetState(int state);

    // Loads the window's own picture from a cursor file; false, with no picture, when it cannot.
    bool LoadPicture(const QString& path);
    bool HasPicture() const { return has_picture_; }

    // Mouse movement over `control` sets `target` (0 or 99) unless the hourglass shows. Movement over a
    // child of `control` (a label in a frame, say) is the child's, not the control's; a scrolling list
    // counts movement over its viewport as its own.
    void AddHoverTarget(QWidget& control, int target);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QCursor CursorFor(int state) const;
    void RestoreOwnCursors();

    QWidget& window_;
    int state_ = kPointerDefault;
    QCursor picture_;
    bool has_picture_ = false;
    // The controls whose own pointer the hourglass covers, with that pointer.
    std::vector<std::pair<QPointer<QWidget>, QCursor>> covered_;
};

}  // namespace kestrelmoor::ui
