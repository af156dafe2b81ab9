// SPDX-License-Identifier: MIT
// What happens when closing a window ends the program at once (Toolkit::EndProgram) in the middle of
// some work: what that work left half done is undone, and the clipboard is handed over.
#pragma once

#include <functional>

namespace kestrelmoor::ui {

// Registers `undo` for the lifetime of this object (an interrupted save removes its temporary file).
class UndoAtProgramEnd {
  public:
    explicit UndoAtProgramEnd(std::function<void()> undo);
    ~UndoAtProgramEnd();
    UndoAtProgramEnd(const UndoAtProgramEnd&) = delete;
    UndoAtProgramEnd& operator=(const UndoAtProgramEnd&) = delete;

    // Runs every registered undo once, the latest first.
    static void RunAll();

  private:
    std::function<void()> undo_;
};

// When the program owns the clipboard, hides its windows and ends the toolkit in order (the
// QApplication must have been made with new), so that the window system's clipboard hands the
// contents to a clipboard manager; otherwise does nothing. Nothing of the toolkit may be used after.
void HandOverClipboard();

}  // namespace kestrelmoor::ui
