// SPDX-License-Identifier: MIT
#include "ui/windows/extraction_window.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QShortcut>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "ui/app_shell.h"
#include "ui/desktop/visual_style.h"
#include "ui/desktop/window_placement.h"
#include "ui/windows/accessible_frame.h"

namespace kestrelmoor::ui {
namespace {

constexpr int kListColumnTwips = 7000;
// Room the button's frame takes on each side of its caption.
constexpr int kCaptionMargin = 6;

const QString kStartCaption = QStringLiteral("Start Extracting");
const QString kStopCaption = QStringLiteral("Stop");

// The longest caption does not quite fit its button in the metric-compatible face of Arial: that
// button's font steps down until the caption fits inside the frame instead of running into it.
void FitCaption(QPushButton& button) {
    QFont font = button.font();
    while (font.pointSizeF() > 8 &&
           QFontMetrics(font).horizontalAdvance(button.text()) > button.width() - 2 * kCaptionMargin) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    button.setFont(font);
}

}  // namespace

ExtractionWindow::ExtractionWindow(Toolkit& toolkit, db::Database& database, std::function<db::Login()> login,
                                   std::function<void()> show_connection_window)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      toolkit_(toolkit),
      database_(database),
      login_(std::move(login)),
      show_connection_window_(std::move(show_connection_window)),
      pointer_(*this),
      tables_view_(new CheckListView(this)),
      results_view_(new CheckListView(this)),
      progress_bar_(new QProgressBar(this)),
      tables_(tables_view_->Model()),
      results_(*results_view_),
      progress_(*progress_bar_),
      run_observers_{&results_, &progress_, &stop_request_},
      run_(database, toolkit, [&toolkit] { toolkit.ProcessPendingEvents(); }),
      export_(toolkit, results_view_->Model(), pointer_) {
    setObjectName(QStringLiteral("Form2"));
    setFixedSize(TwipsToPixels(8040), TwipsToPixels(7575));
    PresentAsFrame(*this, QString::fromLatin1(kDisplayName) + QStringLiteral(" \u2013 Tables and Results"));
    UseProgramLook(*this);
    SetBackColor(*this, kWhite);

    // Created in the layout's order; the tab order below differs from it.
    tables_view_->setObjectName(QStringLiteral("ListView1"));
    tables_view_->setGeometry(TwipsRect(120, 120, 7800, 2790));
    tables_view_->setAccessibleName(QStringLiteral("Tables"));
    results_view_->setObjectName(QStringLiteral("ListView2"));
    results_view_->setGeometry(TwipsRect(120, 4020, 7800, 1935));
    results_view_->setAccessibleName(QStringLiteral("Results"));
    for (CheckListView* list : {tables_view_, results_view_}) {
        list->setFont(ControlFont());
        SetBackColor(*list, kWindowBackground);
        pointer_.AddHoverTarget(*list, PointerState::kDefault);
    }
    QPushButton* check_all =
        AddButton("PushButton1", "Check All", TwipsRect(120, 3000, 3840, 400), &ExtractionWindow::OnCheckAll);
    QPushButton* uncheck_all = AddButton("PushButton7", "Uncheck All", TwipsRect(4080, 3000, 3840, 400),
                                         &ExtractionWindow::OnUncheckAll);
    QPushButton* start = AddButton("PushButton4", "Start Extracting", TwipsRect(120, 3510, 3840, 400),
                                   &ExtractionWindow::OnStartExtracting);
    start_button_ = start;
    QPushButton* switch_database =
        AddButton("PushButton5", "Switch MySQL Database", TwipsRect(4080, 3510, 3840, 400),
                  &ExtractionWindow::OnSwitchDatabase);
    QPushButton* save_text = AddButton("PushButton6", "Save Results As Text File",
                                       TwipsRect(120, 6040, 3840, 405), &ExtractionWindow::OnSaveTextFile);
    QPushButton* save_comma =
        AddButton("PushButton2", "Save As Comma Delimited Text File", TwipsRect(4080, 6040, 3840, 405),
                  &ExtractionWindow::OnSaveCommaDelimited);
    QPushButton* clear = AddButton("PushButton9", "Clear List", TwipsRect(4080, 6550, 3840, 405),
                                   &ExtractionWindow::OnClearList);
    progress_bar_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_bar_->setGeometry(TwipsRect(120, 7060, 7800, 405));
    progress_bar_->setRange(0, 100);
    progress_bar_->setValue(0);
    progress_bar_->setFormat(QStringLiteral("Progress Bar"));
    progress_bar_->setTextVisible(false);
    progress_bar_->setAccessibleName(QStringLiteral("Progress"));
    SetBackColor(*progress_bar_, kWhite);
    QPushButton* copy = AddButton("PushButton3", "Copy Results To Clipboard", TwipsRect(120, 6550, 3840, 405),
                                  &ExtractionWindow::OnCopyToClipboard);

    QWidget* tab_order[] = {tables_view_,    results_view_, check_all,  uncheck_all, start,
                            switch_database, save_text,     save_comma, clear,       copy};
    for (std::size_t i = 1; i < std::size(tab_order); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);
    progress_bar_->setFocusPolicy(Qt::NoFocus);
    pointer_.AddHoverTarget(*this, PointerState::kDefault);
    // Esc stops a run wherever the focus is in this window; outside a run it does nothing, as before.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &ExtractionWindow::StopRun);

    CentreOnScreen(*this);
}

QPushButton* ExtractionWindow::AddButton(const char* name, const char* caption, QRect geometry,
                                         void (ExtractionWindow::*handler)()) {
    QPushButton* button = MakePushButton(*this, name, QString::fromLatin1(caption), geometry);
    FitCaption(*button);
    pointer_.AddHoverTarget(*button, PointerState::kCustom);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void ExtractionWindow::Load() {
    using Step = ExtractionWindowLoadStep;
    Trap trap(toolkit_, kExtractionWindowLoadLocation);
    trap.Step(Step::ButtonFaces, [&] { ApplyButtonFaceColors(*this); });
    trap.Step(Step::Icon, [&] { setWindowIcon(ProgramIcon()); });
    const QString pointer_file = toolkit_.DataFolder() + QString::fromLatin1(kPointerFileName);
    if (trap.Test(Step::PointerFileExists, [&] { return FileExists(pointer_file); })) {
        trap.Step(Step::Pointer, [&] {
            if (!pointer_.LoadPicture(pointer_file)) throw std::runtime_error("Invalid picture");
        });
    }
    trap.Step(Step::Title, [&] { setWindowTitle(QString::fromLatin1(kDisplayName)); });
    trap.Step(Step::TablesColumn, [&] { tables_view_->Model().AddColumn(QStringLiteral("Tables")); });
    trap.Step(Step::TablesColumnWidth,
              [&] { tables_view_->setColumnWidth(0, TwipsToPixels(kListColumnTwips)); });
    trap.Step(Step::ResultsColumn, [&] { results_view_->Model().AddColumn(QStringLiteral("Results")); });
    trap.Step(Step::ResultsColumnWidth,
              [&] { results_view_->setColumnWidth(0, TwipsToPixels(kListColumnTwips)); });
    ReadTables(trap);
}

void ExtractionWindow::ReadTables(Trap& trap) {
    trap.Step(ExtractionWindowLoadStep::ListTables, [&] {
        const db::Login login = login_();
        db::ListTables(database_, login, tables_, [this] { toolkit_.ProcessPendingEvents(); });
        listed_login_ = login;
    });
}

void ExtractionWindow::FollowLogin() {
    const db::Login login = login_();
    const auto same = [&login](const db::Login& listed) {
        return listed.server == login.server && listed.user == login.user &&
               listed.database == login.database && listed.port == login.port;
    };
    if (run_.Running() || (listed_login_ && same(*listed_login_))) return;
    Trap trap(toolkit_, kExtractionWindowLoadLocation);
    listed_login_.reset();
    tables_view_->Model().Clear();
    ReadTables(trap);
}

void ExtractionWindow::SetAllChecked(std::string_view location, bool checked) {
    Trap trap(toolkit_, location);
    CheckListModel& tables = tables_view_->Model();
    using Step = SetAllCheckedStep;
    for (std::int64_t row : trap.Loop(Step::CountTables, std::int64_t{1}, [&] { return tables.Count(); })) {
        trap.Step(Step::SetChecked, [&] { tables.SetChecked(row, checked); });
    }
}

void ExtractionWindow::OnCheckAll() {
    SetAllChecked(kCheckAllLocation, true);
}

void ExtractionWindow::OnUncheckAll() {
    SetAllChecked(kUncheckAllLocation, false);
}

void ExtractionWindow::OnClearList() {
    Trap trap(toolkit_, kClearListLocation);
    trap.Step(ClearListStep::Clear, [&] { results_view_->Model().Clear(); });
}

void ExtractionWindow::OnSwitchDatabase() {
    Trap trap(toolkit_, kSwitchDatabaseLocation);
    trap.Step(SwitchDatabaseStep::ShowConnectionWindow, [&] { show_connection_window_(); });
    trap.Step(SwitchDatabaseStep::Hide, [&] { hide(); });
}

void ExtractionWindow::StopRun() {
    if (run_.Running()) stop_request_.Ask();
}

void ExtractionWindow::ShowRunUnderWay(bool under_way) {
    // Outside a run the button is exactly as before: its caption names it, with no tip.
    start_button_->setText(under_way ? kStopCaption : kStartCaption);
    start_button_->setAccessibleName(under_way ? QStringLiteral("Stop Extracting") : QString());
    start_button_->setToolTip(under_way ? QStringLiteral("Stop Extracting (Esc): no further row is read, "
                                                         "and the addresses found so far stay in the list")
                                        : QString());
}

void ExtractionWindow::OnStartExtracting() {
    // A click that arrives while a run lets events through is the button's "Stop": a second run would
    // empty the list and the seen set under the first one.
    if (run_.Running()) {
        StopRun();
        return;
    }
    stop_request_.Withdraw();
    ShowRunUnderWay(true);
    const bool ran = run_.Start(login_(), tables_, run_observers_);
    ShowRunUnderWay(false);
    if (!ran) return;
    // The last rows found go to the view now rather than at the next batch: the user waits for them.
    results_view_->Model().Publish();
    // A login chosen during the run ("Switch MySQL Database", then "Next >") has its tables listed now,
    // before a next Start could read the old names in its database. (A list that could not be read is
    // read again when the window is next shown, not here: that failure has been reported.)
    if (listed_login_) FollowLogin();
    auto waiting = std::exchange(after_run_, {});
    for (auto& [what, action] : waiting) action();
}

void ExtractionWindow::AfterRun(std::string_view what, std::function<void()> action) {
    if (!run_.Running()) {
        action();
        return;
    }
    for (const auto& waiting : after_run_) {
        if (waiting.first == what) return;
    }
    after_run_.emplace_back(what, std::move(action));
}

void ExtractionWindow::OnSaveTextFile() {
    AfterRun("save text", [this] { export_.SaveAsTextFile(); });
}

void ExtractionWindow::OnSaveCommaDelimited() {
    AfterRun("save comma", [this] { export_.SaveAsCommaDelimited(); });
}

void ExtractionWindow::OnCopyToClipboard() {
    AfterRun("copy", [this] { export_.CopyToClipboard(); });
}

void ExtractionWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    toolkit_.EndProgram();
}

}  // namespace kestrelmoor::ui
