// SPDX-License-Identifier: MIT
// What the windows and handlers need from the window system, behind one interface so that tests can
// run the handlers with a scripted double that records what was shown and answers in advance.
//
// Message boxes other than the error report have no caption of their own: they show the application
// title. Questions offer Yes and No, confirmations OK; neither has an icon.
#pragma once

#include <QString>
#include <QStringList>

#include "common/error_report.h"

namespace kestrelmoor::ui {

class Toolkit : public ErrorReport {
  public:
    ~Toolkit() override = default;

    // A modal box with the text and one OK button; returns when it is dismissed.
    virtual void ShowMessage(const QString& text) = 0;
    // A modal Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // ErrorReport: a modal box captioned "Application Error" with the warning icon and one OK button.
    void ShowErrorReport(const std::string& text) override = 0;

    // Lets pending window events run from inside long work. Cheap enough to call per token: the real
    // toolkit processes events only when a few milliseconds have passed since it last did.
    virtual void ProcessPendingEvents() = 0;
    // Processes pending events once, whatever the time since the last call (before a blocking call).
    virtual void ProcessPendingEventsNow() = 0;

    // The folder the skin and the hand pointer are read from (DataFolderFor the program's folder),
    // without a trailing separator.
    virtual QString DataFolder() const = 0;

    // The save dialog: `title`, the filters in this order (the first one chosen), an empty starting name,
    // and no overwrite question of its own. Returns the name exactly as chosen, or an empty text when
    // the user cancelled.
    virtual QString AskSaveFileName(const QString& title, const QStringList& filters) = 0;

    // The system clipboard: emptied, and set to plain text.
    virtual void ClearClipboard() = 0;
    virtual void SetClipboardText(const QString& text) = 0;

    // Hands the address to the desktop's opener without waiting for it; false when it could not be
    // handed over. Never throws.
    virtual bool OpenUrl(const QString& url) = 0;

    // Ends the program at once, as closing either window does, also while a box is up: no further
    // handler runs, and nothing interrupted (such as a run waiting in a yield) is resumed. What
    // UndoAtProgramEnd holds is undone first, and the clipboard stays for a clipboard manager.
    virtual void EndProgram() = 0;

    // The caption of message boxes that have none of their own.
    virtual QString ApplicationTitle() const = 0;
    virtual void SetApplicationTitle(const QString& title) = 0;
};

// The caption of the error report box.
inline constexpr const char* kErrorReportCaption = "Application Error";

}  // namespace kestrelmoor::ui
