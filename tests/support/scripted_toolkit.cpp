#include "support/scripted_toolkit.h"

#include <gtest/gtest.h>

namespace kestrelmoor::test {

ScriptedToolkit::ScriptedToolkit() = default;

ScriptedToolkit::~ScriptedToolkit() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " queued answer(s) were never asked for";
    }
}

std::vector<std::string> ScriptedToolkit::ErrorReports() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes_) {
        if (box.kind == BoxKind::ErrorReport) {
            texts.push_back(box.text.toStdString());
        }
    }
    return texts;
}

void ScriptedToolkit::ShowMessage(const QString& text) {
    boxes_.push_back({BoxKind::Message, title_, text, BoxIcon::None});
}

bool ScriptedToolkit::AskYesNo(const QString& text) {
    boxes_.push_back({BoxKind::Question, title_, text, BoxIcon::None});
    if (answers_.empty()) {
        ADD_FAILURE() << "Unanswered question: " << text.toStdString();
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedToolkit::ShowErrorReport(const std::string& text) {
    boxes_.push_back({BoxKind::ErrorReport, QString::fromLatin1(ui::kErrorReportCaption),
                      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), BoxIcon::Warning});
}

void ScriptedToolkit::ProcessPendingEvents() {
    ++process_events_calls_;
    if (on_process_events_) {
        on_process_events_();
    }
}

void ScriptedToolkit::ProcessPendingEventsNow() {
    ++process_events_now_calls_;
    if (on_process_events_) {
        on_process_events_();
    }
}

}  // namespace kestrelmoor::test
