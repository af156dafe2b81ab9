// SPDX-License-Identifier: MIT
// The extraction window: the database's tables with check boxes, "Start Extracting", the result list
// and its exports, and the way back to the connection window.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "common/error_trap.h"
#include "core/extraction_run.h"
#include "db/database.h"
#include "ui/check_list/check_list_view.h"
#include "ui/desktop/pointer_feedback.h"
#include "ui/toolkit.h"
#include "ui/windows/results_export.h"
#include "ui/windows/run_views.h"

namespace kestrelmoor::ui {

class ExtractionWindow : public QWidget {
  public:
    // `login` gives the login with which the connection window's "Next >" last moved on (edits to
    // its boxes since then do not count); `show_connection_window` shows that window again.
    ExtractionWindow(Toolkit& toolkit, db::Database& database, std::function<db::Login()> login,
                     std::function<void()> show_connection_window);

    // The load handler, run once before the window is first shown: colours, icon, pointer picture,
    // caption, the list columns, and the table list from the catalogue.
    void Load();
    // Before the window is shown again: when the login's server, user, database or port differ from
    // those the table list was read with, the list is read again, all ticked; otherwise it stays as
    // the user left it. Not while a run is under way: the run reads the list, and the list follows a
    // login chosen meanwhile when the run has ended.
    void FollowLogin();
    // Carries out `action` (a handler that opens a box or dialog) now, or, while a run is under way,
    // when it has ended; an action of the same `what` already waiting is not added again. Everything
    // runs on one thread: a box opened from a click handled while the run waits for its rows would
    // hold the run under it until the box closed, and the server gives up a table it cannot send.
    void AfterRun(std::string_view what, std::function<void()> action);
    void OnCheckAll();
    void OnSaveCommaDelimited();
    void OnCopyToClipboard();
    // "Start Extracting" starts a run; during the run the same button reads "Stop" and stops it, as
    // Esc does (StopRun).
    void OnStartExtracting();
    // Asks the run under way to stop: no further row is read, the table cut short ends not complete,
    // the addresses found so far stay listed. Nothing happens outside a run.
    void StopRun();
    void OnSwitchDatabase();
    void OnSaveTextFile();
    void OnUncheckAll();
    void OnClearList();

    // Tables a run reads at once, each over a connection of its own (ExtractionRun's default unless set).
    void SetRunConnections(int connections) { run_.SetConnections(connections); }

    CheckListView& Tables() { return *tables_view_; }
    CheckListView& Results() { return *results_view_; }
    QProgressBar& ProgressBar() { return *progress_bar_; }
    WindowPointer& Pointer() { return pointer_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPushButton* AddButton(const char* name, const char* caption, QRect geometry,
                           void (ExtractionWindow::*handler)());
    void SetAllChecked(std::string_view location, bool checked);
    // The start button as a run under way shows it ("Stop") or as at rest ("Start Extracting").
    void ShowRunUnderWay(bool under_way);
    // The load handler's step ListTables: the table list from the catalogue.
    void ReadTables(Trap& trap);

    Toolkit& toolkit_;
    db::Database& database_;
    std::function<db::Login()> login_;
    std::function<void()> show_connection_window_;
    WindowPointer pointer_;
    CheckListView* tables_view_;
    CheckListView* results_view_;
    QProgressBar* progress_bar_;
    QPushButton* start_button_ = nullptr;
    TableListAdapter tables_;
    ResultListObserver results_;
    ProgressBarObserver progress_;
    StopRequest stop_request_;
    RunObservers run_observers_;
    ExtractionRun run_;
    ResultsExport export_;
    std::optional<db::Login> listed_login_;  // the login the table list was read with
    std::vector<std::pair<std::string_view, std::function<void()>>> after_run_;
};

}  // namespace kestrelmoor::ui
