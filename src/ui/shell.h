// The program's two windows and the way between them: the connection window comes first; the
// extraction window is created and loaded the first time it is to be shown, and is afterwards only
// hidden and shown again.
#pragma once

#include <functional>
#include <memory>

#include "common/settings_store.h"
#include "db/database.h"
#include "ui/connection_window.h"
#include "ui/extraction_window.h"
#include "ui/toolkit.h"

namespace kestrelmoor::ui {

class Shell {
  public:
    Shell(Toolkit& toolkit, db::Database& database, SettingsStore& settings, std::function<double()> random);

    // Loads the connection window and shows it, unless its load handler moved on to the extraction
    // window already (a stored login that connects).
    void Start();

    ConnectionWindow& Form1() { return form1_; }
    // Null until first shown.
    ExtractionWindow* Form2() { return form2_.get(); }

  private:
    void ShowExtractionWindow();

    Toolkit& toolkit_;
    db::Database& database_;
    ConnectionWindow form1_;
    std::unique_ptr<ExtractionWindow> form2_;
};

}  // namespace kestrelmoor::ui
