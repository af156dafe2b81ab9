// SPDX-License-Identifier: MIT
// The connection window: the MySQL login in five boxes, stored as it is typed, a connection test, a
// help message, and "Next >" to the extraction window.
#pragma once

#include <array>
#include <functional>
#include <string_view>

#include <QWidget>

#include "common/password_keeper.h"
#include "common/secret_service.h"
#include "common/settings_store.h"
#include "db/database.h"
#include "ui/desktop/pointer_feedback.h"
#include "ui/toolkit.h"

class QGroupBox;
class QLineEdit;

namespace kestrelmoor::ui {

class ConnectionWindow : public QWidget {
  public:
    // `random` gives fractions in [0, 1) for the occasional home-page visit. The password is kept in
    // `secrets` when given and it answers (see PasswordKeeper), else in the settings file.
    ConnectionWindow(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
                     std::function<double()> random, const SecretService* secrets = nullptr);

    // What a successful "Next >" does before this window hides: show the extraction window.
    void SetShowExtractionWindow(std::function<void()> show) { show_extraction_window_ = std::move(show); }
    // Where the handlers that open a box go while a run may be under way (the extraction window's
    // AfterRun); until set, they run at once.
    using AfterRunFn = std::function<void(std::string_view what, std::function<void()> action)>;
    void SetAfterRun(AfterRunFn after_run) { after_run_ = std::move(after_run); }

    // The load handler: style, caption and title, home page, pointer picture, fields restored, and the
    // automatic "Next >" when a stored login connects. Restoring the fields writes nothing back; a
    // settings file that cannot be used is named in a box and passed over: the boxes start with the
    // defaults, and nothing typed is written into it.
    void Load();
    // Start of the program: the load handler, then this window is shown unless the handler has already
    // moved on to the extraction window.
    void LoadAndShow();
    // "Next >" and "Test Connection" try the boxes as they stand at the click; while an attempt of
    // this window waits for the server (events go on), a further click of either does nothing.
    void OnNext();
    void OnHelp();
    void OnTestConnection();

    // The five boxes as they stand now.
    db::Login CurrentLogin() const;
    // The login with which "Next >" last moved on (empty before).
    const db::Login& AcceptedLogin() const { return accepted_login_; }
    WindowPointer& Pointer() { return pointer_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void MakeTextBoxes(QGroupBox& frame);
    // Each box's label, which also names the box to a screen reader.
    void MakeLabels(QGroupBox& frame);
    void Next();
    void Help();
    void TestConnection();
    // The settings file is checked as the command line checks it; false when it is passed over.
    bool SettingsFileUsable();
    // A box's change, stored; the first store that fails is told in a box, and so is the first
    // password that goes into the file for want of a secret service.
    void Store(SettingKey key, const QString& text);
    // The password's item as the boxes name it now.
    SecretKey BoxesKey() const;
    // Lets the window's events run while an attempt waits for the server.
    std::function<void()> WaitHook();

    Toolkit& toolkit_;
    db::Database& database_;
    SettingsStore& settings_;
    PasswordKeeper passwords_;
    std::function<double()> random_;
    std::function<void()> show_extraction_window_;
    AfterRunFn after_run_ = [](std::string_view, const std::function<void()>& action) { action(); };
    WindowPointer pointer_;
    // In the order of the login's fields.
    std::array<QLineEdit**, 5> Boxes();

    QLineEdit* server_box_ = nullptr;
    QLineEdit* user_box_ = nullptr;
    QLineEdit* password_box_ = nullptr;
    QLineEdit* database_box_ = nullptr;
    QLineEdit* port_box_ = nullptr;
    // Set when "Next >" hides this window for the extraction window.
    bool moved_on_ = false;
    bool attempting_ = false;  // a connection attempt waits for the server
    bool restoring_ = false;   // the load handler fills the boxes from the store
    bool settings_passed_over_ = false;
    bool store_failure_told_ = false;
    bool no_secret_service_told_ = false;
    db::Login accepted_login_;
};

}  // namespace kestrelmoor::ui
