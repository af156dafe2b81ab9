// The extraction window: the database's tables with check boxes, "Start Extracting", the result list
// and its exports, and the way back to the connection window.
#pragma once

#include <functional>

#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include "core/extraction_run.h"
#include "db/connection_profile.h"
#include "db/database.h"
#include "ui/check_list_view.h"
#include "ui/list_ports.h"
#include "ui/pointer_feedback.h"
#include "ui/results_export.h"
#include "ui/toolkit.h"

namespace kestrelmoor::ui {

class ExtractionWindow : public QWidget {
  public:
    // `profile` reads the connection window's five boxes as they stand when called;
    // `show_connection_window` shows that window again.
    ExtractionWindow(Toolkit& toolkit, db::Database& database, std::function<db::ConnectionProfile()> profile,
                     std::function<void()> show_connection_window);

    // The load handler, run once before the window is first shown: colours, icon, pointer picture,
    // caption, the list columns, and the table list from the catalogue.
    void Form_Load();
    void PushButton1_Click();  // "Check All"
    void PushButton2_Click();  // "Save As Comma Delimited Text File"
    void PushButton3_Click();  // "Copy Results To Clipboard"
    void PushButton4_Click();  // "Start Extracting"
    void PushButton5_Click();  // "Switch MySQL Database"
    void PushButton6_Click();  // "Save Results As Text File"
    void PushButton7_Click();  // "Uncheck All"
    void PushButton9_Click();  // "Clear List"

    CheckListView& ListView1() { return *list_view1_; }
    CheckListView& ListView2() { return *list_view2_; }
    QProgressBar& ProgressBar1() { return *progress_bar1_; }
    WindowPointer& Pointer() { return pointer_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QPushButton* AddButton(const char* name, const char* caption, QRect geometry,
                           void (ExtractionWindow::*handler)());
    void SetAllChecked(std::string_view location, bool checked);

    Toolkit& toolkit_;
    db::Database& database_;
    std::function<db::ConnectionProfile()> profile_;
    std::function<void()> show_connection_window_;
    WindowPointer pointer_;
    CheckListView* list_view1_;
    CheckListView* list_view2_;
    QProgressBar* progress_bar1_;
    TableListPort tables_;
    ResultListPort results_;
    ProgressBarPort progress_;
    ExtractionRun run_;
    ResultsExport export_;
};

}  // namespace kestrelmoor::ui
