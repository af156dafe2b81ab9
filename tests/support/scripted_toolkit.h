// SPDX-License-Identifier: MIT
// A toolkit for tests: shows nothing, records every box in order, answers Yes/No questions from a
// queue filled in advance, and counts the calls that let events run.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "ui/toolkit.h"

namespace kestrelmoor::test {

class ScriptedToolkit : public ui::Toolkit {
  public:
    enum class BoxKind { Message, Question, ErrorReport };
    enum class BoxIcon { None, Warning };

    struct Box {
        BoxKind kind;
        QString caption;
        QString text;
        BoxIcon icon;
    };

    ScriptedToolkit();
    // Fails the current test when queued answers were never asked for.
    ~ScriptedToolkit() override;

    // The answer to the next question not yet answered: true for Yes. A question that arrives with
    // no answer queued fails the current test and is answered No.
    void QueueAnswer(bool yes) { answers_.push_back(yes); }
    std::size_t PendingAnswers() const { return answers_.size(); }

    // Every box shown so far, in order.
    const std::vector<Box>& Boxes() const { return boxes_; }
    // The texts of the error reports shown so far, in order.
    std::vector<std::string> ErrorReports() const;
    void ClearBoxes() { boxes_.clear(); }

    int ProcessEventsCalls() const { return process_events_calls_; }
    int ProcessEventsNowCalls() const { return process_events_now_calls_; }
    // Runs inside every ProcessPendingEvents / ProcessPendingEventsNow call, standing in for the
    // handlers that the window system would run there.
    void OnProcessEvents(std::function<void()> action) { on_process_events_ = std::move(action); }

    // Runs inside every ShowMessage, while the box would be on screen.
    void OnShowMessage(std::function<void()> action) { on_show_message_ = std::move(action); }

    void SetDataFolder(const QString& folder) { data_folder_ = folder; }

    // The name the next save dialog returns (an empty text: cancelled). A dialog that arrives with no
    // name queued fails the current test and counts as cancelled.
    void QueueSaveFileName(const QString& name) { save_names_.push_back(name); }
    struct SaveDialog {
        QString title;
        QStringList filters;
    };
    const std::vector<SaveDialog>& SaveDialogs() const { return save_dialogs_; }

    // Addresses handed to OpenUrl; when failing, OpenUrl returns false as the real one does without a
    // browser.
    const std::vector<QString>& OpenedUrls() const { return opened_urls_; }
    void FailOpenUrl(bool failing) { fail_open_url_ = failing; }

    int EndProgramCalls() const { return end_program_calls_; }

    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& text) override;
    void ShowErrorReport(const std::string& text) override;
    void ProcessPendingEvents() override;
    void ProcessPendingEventsNow() override;
    QString DataFolder() const override { return data_folder_; }
    QString ApplicationTitle() const override { return title_; }
    void SetApplicationTitle(const QString& title) override { title_ = title; }
    QString AskSaveFileName(const QString& title, const QStringList& filters) override;
    // The clipboard is the real one of the platform the tests run on.
    void ClearClipboard() override;
    void SetClipboardText(const QString& text) override;
    bool OpenUrl(const QString& url) override;
    // Recorded only: the test goes on, as if the program had ended.
    void EndProgram() override { ++end_program_calls_; }

  private:
    std::deque<QString> save_names_;
    std::vector<SaveDialog> save_dialogs_;
    std::vector<QString> opened_urls_;
    bool fail_open_url_ = false;
    int end_program_calls_ = 0;
    std::deque<bool> answers_;
    std::vector<Box> boxes_;
    int process_events_calls_ = 0;
    int process_events_now_calls_ = 0;
    std::function<void()> on_process_events_;
    std::function<void()> on_show_message_;
    QString data_folder_ = QStringLiteral("/opt/kestrelmoor-test");
    QString title_;
};

}  // namespace kestrelmoor::test
