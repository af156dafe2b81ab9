// The connection window: the MySQL login in five boxes, stored as it is typed, a connection test, a
// help message, and "Next >" to the extraction window.
#pragma once

#include <functional>

#include <QWidget>

#include "common/settings_store.h"
#include "db/connection_profile.h"
#include "db/database.h"
#include "ui/pointer_feedback.h"
#include "ui/toolkit.h"

class QLineEdit;

namespace kestrelmoor::ui {

class ConnectionWindow : public QWidget {
  public:
    // `random` gives fractions in [0, 1) for the occasional home-page visit.
    ConnectionWindow(Toolkit& toolkit, db::Database& database, SettingsStore& settings,
                     std::function<double()> random);

    // What a successful "Next >" does before this window hides: show the extraction window.
    void SetShowExtractionWindow(std::function<void()> show) { show_extraction_window_ = std::move(show); }

    // The load handler: style, caption and title, home page, pointer picture, fields restored, and the
    // automatic "Next >" when a stored login connects.
    void Form_Load();
    // Start of the program: the load handler, then this window is shown unless the handler has already
    // moved on to the extraction window.
    void LoadAndShow();
    void PushButton3_Click();  // "Next >"
    void PushButton4_Click();  // "Help"
    void PushButton5_Click();  // "Test Connection"

    // The five boxes as they stand now.
    db::ConnectionProfile Profile() const;
    WindowPointer& Pointer() { return pointer_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Toolkit& toolkit_;
    db::Database& database_;
    SettingsStore& settings_;
    std::function<double()> random_;
    std::function<void()> show_extraction_window_;
    WindowPointer pointer_;
    QLineEdit* text_[5] = {};
    // Set when "Next >" hides this window for the extraction window.
    bool moved_on_ = false;
};

}  // namespace kestrelmoor::ui
