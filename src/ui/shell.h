// SPDX-License-Identifier: MIT
// The program's two windows and the way between them: the connection window comes first; the
// extraction window is created and loaded the first time it is to be shown, and is afterwards hidden
// and shown again, its table list read again when the login has changed meanwhile.
#pragma once

#include <functional>
#include <memory>

#include "common/settings_store.h"
#include "db/database.h"
#include "ui/toolkit.h"
#include "ui/windows/connection_window.h"
#include "ui/windows/extraction_window.h"

namespace kestrelmoor::ui {

class Shell {
  public:
    Shell(Toolkit& toolkit, db::Database& database, SettingsStore& settings, std::function<double()> random,
          const SecretService* secrets = nullptr);

    // Loads the connection window and shows it, unless its load handler moved on to the extraction
    // window already (a stored login that connects).
    void Start();

    ConnectionWindow& Connection() { return connection_window_; }
    // Null until first shown.
    ExtractionWindow* Extraction() { return extraction_window_.get(); }

  private:
    void ShowExtractionWindow();

    Toolkit& toolkit_;
    db::Database& database_;
    ConnectionWindow connection_window_;
    std::unique_ptr<ExtractionWindow> extraction_window_;
};

}  // namespace kestrelmoor::ui
