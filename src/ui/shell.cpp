// SPDX-License-Identifier: MIT
#include "ui/shell.h"

#include "ui/desktop/window_activation.h"

namespace kestrelmoor::ui {

Shell::Shell(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
             std::function<double()> random, const SecretService* secrets)
    : toolkit_(toolkit),
      database_(database),
      connection_window_(toolkit, database, settings, std::move(random), secrets) {
    connection_window_.SetShowExtractionWindow([this] { ShowExtractionWindow(); });
    ActivateWhenShown(connection_window_);
}

void Shell::Start() {
    connection_window_.LoadAndShow();
}

void Shell::ShowExtractionWindow() {
    if (!extraction_window_) {
        extraction_window_ = std::make_unique<ExtractionWindow>(
            toolkit_, database_, [this] { return connection_window_.AcceptedLogin(); },
            [this] { connection_window_.show(); });
        connection_window_.SetAfterRun([this](std::string_view what, std::function<void()> action) {
            extraction_window_->AfterRun(what, std::move(action));
        });
        ActivateWhenShown(*extraction_window_);
        extraction_window_->Load();
    } else {
        extraction_window_->FollowLogin();
    }
    extraction_window_->show();
}

}  // namespace kestrelmoor::ui
