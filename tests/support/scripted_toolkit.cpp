// SPDX-License-Identifier: MIT
#include "support/scripted_toolkit.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <QClipboard>
#include <QGuiApplication>

namespace kestrelmoor::test {

ScriptedToolkit::ScriptedToolkit() = default;

ScriptedToolkit::~ScriptedToolkit() {
    if (!answers_.empty()) {
        ADD_FAILURE() << answers_.size() << " queued answer(s) were never asked for";
    }
    if (!save_names_.empty()) {
        ADD_FAILURE() << save_names_.size() << " queued file name(s) were never asked for";
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
    if (on_show_message_) {
        on_show_message_();
    }
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

QString ScriptedToolkit::AskSaveFileName(const QString& title, const QStringList& filters) {
    save_dialogs_.push_back({title, filters});
    if (save_names_.empty()) {
        ADD_FAILURE() << "Unanswered save dialog: " << title.toStdString();
        return QString();
    }
    QString name = save_names_.front();
    save_names_.pop_front();
    return name;
}

void ScriptedToolkit::ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

void ScriptedToolkit::SetClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool ScriptedToolkit::OpenUrl(const QString& url) {
    opened_urls_.push_back(url);
    return !fail_open_url_;
}

}  // namespace kestrelmoor::test
