// SPDX-License-Identifier: MIT
// Geometry, fonts and colours of the two windows, and the visual style applied when they load.
// Lengths are given in twips as the layouts state them; at 96 dots per inch 15 twips make a pixel.
#pragma once

#include <cstdint>

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>

class QPushButton;
class QStyle;
class QWidget;

namespace kestrelmoor::ui {

constexpr int TwipsToPixels(int twips) {
    return twips / 15;
}
constexpr QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

// Colours as 32-bit values: below 0x80000000 a fixed colour 0x00BBGGRR; 0x800000nn the desktop's
// system colour nn (0x05 window background, 0x08 window text, 0x0F button face, 0x12 button text).
inline constexpr std::uint32_t kWhite = 0x00FFFFFF;
inline constexpr std::uint32_t kWindowBackground = 0x80000005;
inline constexpr std::uint32_t kWindowText = 0x80000008;
inline constexpr std::uint32_t kButtonFace = 0x8000000F;
inline constexpr std::uint32_t kButtonText = 0x80000012;
// The colour a value stands for (system colours from the program's palette, never the desktop's).
QColor ColorOf(std::uint32_t value);

// The program's own palette, complete in every role and group: light faces, black text, so that the
// windows look the same under a light and a dark desktop theme. Set on the application and on each
// window before its controls are made.
QPalette ProgramPalette();
// Gives a window the program's palette; called before its controls are made.
void UseProgramLook(QWidget& window);

// The program's style: Fusion, drawing the focus of a control however it came (Fusion alone shows it
// only after a key moved it, so a button focused by a click, which Enter presses, would not show it).
QStyle* ProgramStyle();

// The window's (or control's) background as such a value, and its setting.
void SetBackColor(QWidget& widget, std::uint32_t value);
std::uint32_t BackColor(const QWidget& widget);
// The colour of the widget's text (window text for frames and labels, text for text boxes and lists,
// button text for push buttons).
void SetForeColor(QWidget& widget, std::uint32_t value);

// Arial 9 bold (frame, labels, text boxes, lists) and Arial 11.25 bold (push buttons). Arial resolves
// to a metric-compatible face where it is not installed.
QFont ControlFont();
QFont ButtonFont();

// A push button of either window, named for skins and placed: the button font, button text on white,
// and pressed by Enter while it has the focus.
QPushButton* MakePushButton(QWidget& parent, const char* name, const QString& caption, const QRect& geometry);

// The files beside the program that change the look; both optional.
inline constexpr const char* kSkinFileName = "/x/o.cjs";
inline constexpr const char* kPointerFileName = "/HAND-M.CUR";

// When the skin file is a plain file in `program_folder`: the connection window and its frame and
// labels take the button-face colour, and the file's style sheet is applied to the window. Otherwise
// nothing changes. Returns whether the skin was applied.
bool ApplySkin(QWidget& connection_window, const QString& program_folder);

// The window takes the button-face colour, and so do its frames and labels (check boxes and option
// buttons too, had it any).
void ApplyButtonFaceColors(QWidget& window);

}  // namespace kestrelmoor::ui
