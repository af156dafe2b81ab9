// SPDX-License-Identifier: MIT
// The extraction window with real widgets on the offscreen platform, against the test server.
#include <gtest/gtest.h>

#include <optional>

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTextDocument>

#include "support/failing_database.h"
#include "ui/desktop/visual_style.h"
#include "window_fixture.h"

namespace kestrelmoor::test {
namespace {

using Strings = std::vector<std::string>;
using Lines = std::vector<int>;

TEST_F(ExtractionWindowTest, LayoutMatchesTheDesign) {
    LoadAndShow();
    EXPECT_EQ(window_->size(), QSize(536, 505));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    EXPECT_FALSE(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window_->windowTitle(), "Kestrelmoor");
    EXPECT_EQ(window_->Tables().geometry(), QRect(8, 8, 520, 186));
    EXPECT_EQ(window_->Results().geometry(), QRect(8, 268, 520, 129));
    EXPECT_EQ(window_->ProgressBar().geometry(), QRect(8, 470, 520, 27));
    // The object names stay those of the layout, as a skin may select by them.
    EXPECT_EQ(window_->findChild<QPushButton*>("PushButton2")->text(), "Save As Comma Delimited Text File");
    EXPECT_EQ(Button("Copy Results To Clipboard").geometry(), QRect(8, 436, 256, 27));
    EXPECT_TRUE(Button("Start Extracting").font().bold());
    EXPECT_DOUBLE_EQ(Button("Start Extracting").font().pointSizeF(), 11.25);
    EXPECT_EQ(window_->Tables().font().pointSizeF(), 9.0);
    EXPECT_EQ(window_->ProgressBar().minimum(), 0);
    EXPECT_EQ(window_->ProgressBar().maximum(), 100);
    EXPECT_EQ(ui::BackColor(*window_), ui::kButtonFace);
    // The copy button comes last in the tab order although it stands left of "Clear List".
    QWidget* focus = &window_->Tables();
    std::vector<QString> order;
    for (int i = 0; i < 10; ++i, focus = focus->nextInFocusChain()) {
        while (!(focus->focusPolicy() & Qt::TabFocus)) focus = focus->nextInFocusChain();
        order.push_back(focus->objectName());
    }
    EXPECT_EQ(order, (std::vector<QString>{"ListView1", "ListView2", "PushButton1", "PushButton7",
                                           "PushButton4", "PushButton5", "PushButton6", "PushButton2",
                                           "PushButton9", "PushButton3"}));
}

TEST_F(ExtractionWindowTest, LoadListsTheTablesCheckedUnderTheirHeaders) {
    for (const char* table : {"customers", "sys_config", "Orders", "`t``ick`"})
        Sql(std::string("CREATE TABLE ") + table + " (a INT)");
    EXPECT_EQ(window_->Tables().model()->columnCount(), 0);
    LoadAndShow();
    EXPECT_EQ(Rows(window_->Tables()), (Strings{"Orders", "customers", "t`ick"}));
    for (std::int64_t row = 1; row <= 3; ++row) EXPECT_TRUE(window_->Tables().Model().Checked(row));
    EXPECT_EQ(window_->Tables().model()->headerData(0, Qt::Horizontal), "Tables");
    EXPECT_EQ(window_->Results().model()->headerData(0, Qt::Horizontal), "Results");
    EXPECT_EQ(window_->Tables().columnWidth(0), 466);
    EXPECT_EQ(window_->Results().columnWidth(0), 466);
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window_->Tables())->text(QAccessible::Name), "Tables");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&window_->Results())->text(QAccessible::Name), "Results");
}

TEST_F(ExtractionWindowTest, TheTableListFollowsTheLoginAndKeepsItsTicksForTheSameOne) {
    Sql("CREATE TABLE first (a INT)");
    LoadAndShow();
    window_->Tables().Model().SetChecked(1, false);
    profile_.password = "not looked at";
    window_->FollowLogin();
    EXPECT_EQ(Rows(window_->Tables()), Strings{"first"});
    EXPECT_FALSE(window_->Tables().Model().Checked(1)) << "the same login keeps the ticks";

    ScratchDatabase other(*admin_, "other");
    admin_->Run("CREATE TABLE `" + other.Name() + "`.second (a INT)");
    profile_ = ScratchLogin();
    profile_.database = other.Name();
    window_->FollowLogin();
    EXPECT_EQ(Rows(window_->Tables()), Strings{"second"});
    EXPECT_TRUE(window_->Tables().Model().Checked(1));
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ExtractionWindowTest, ALoginChosenDuringARunHasItsTablesListedWhenTheRunEnds) {
    Sql("CREATE TABLE shared (e TEXT)");
    Sql("INSERT INTO shared VALUES ('old@example.com')");
    ScratchDatabase other(*admin_, "switched");
    admin_->Run("CREATE TABLE `" + other.Name() + "`.shared (e TEXT)");
    admin_->Run("INSERT INTO `" + other.Name() + "`.shared VALUES ('new@example.com')");
    admin_->Run("CREATE TABLE `" + other.Name() + "`.extra (e TEXT)");
    LoadAndShow();
    toolkit_.OnProcessEvents([&] {
        if (profile_.database == other.Name()) return;
        // "Switch MySQL Database", then "Next >" with the other database: the shell shows this window.
        profile_.database = other.Name();
        window_->FollowLogin();
    });
    Click("Start Extracting");
    toolkit_.OnProcessEvents({});
    EXPECT_EQ(Rows(window_->Results()), Strings{"old@example.com"});
    EXPECT_EQ(Rows(window_->Tables()), (Strings{"extra", "shared"}));
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ExtractionWindowTest, BoxesAndDialogsAskedForDuringARunOpenWhenItHasEnded) {
    Sql("CREATE TABLE t (e TEXT)");
    Sql("INSERT INTO t VALUES ('a@example.com'), ('b@example.com')");
    LoadAndShow();
    std::optional<std::size_t> shown_during_run;
    toolkit_.OnProcessEvents([&] {
        if (shown_during_run) return;
        Click("Save Results As Text File");
        Click("Save Results As Text File");
        Click("Copy Results To Clipboard");
        shown_during_run = toolkit_.SaveDialogs().size() + toolkit_.Boxes().size();
    });
    toolkit_.QueueSaveFileName("");  // cancelled
    Click("Start Extracting");
    ASSERT_TRUE(shown_during_run);
    EXPECT_EQ(*shown_during_run, 0u) << "a box would hold the run under it";
    EXPECT_EQ(toolkit_.SaveDialogs().size(), 1u) << "two clicks of one button while waiting are one";
    ASSERT_EQ(toolkit_.Boxes().size(), 1u);
    EXPECT_TRUE(toolkit_.Boxes()[0].text.startsWith("Results have been copied"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "a@example.com\r\nb@example.com\r\n")
        << "the whole run's results";
}

TEST(ProgressBarObserver, MovesWithTheEstimateShortOfFullUntilTheTableEnds) {
    QProgressBar bar;
    bar.setRange(0, 100);
    ui::ProgressBarObserver progress(bar);
    progress.TableStarted("", "t");
    progress.TableEstimated(1000);
    progress.RowsArrived(250);
    EXPECT_EQ(bar.value(), 25);
    progress.RowsArrived(5000);  // far more than estimated
    EXPECT_EQ(bar.value(), 99);
    progress.TableEnded(5000, true);
    EXPECT_EQ(bar.value(), 100);
    progress.RowsArrived(5000);  // the ended table's count, told again before the next table
    EXPECT_EQ(bar.value(), 100) << "a full bar stays full between tables";
    progress.TableStarted("", "empty");
    progress.TableEstimated(0);
    progress.RowsArrived(0);
    progress.TableEnded(0, true);
    EXPECT_EQ(bar.value(), 100) << "a table without rows leaves the bar";
}

TEST_F(ExtractionWindowTest, ACatalogueThatFailsIsReportedAtLine120AndTheWindowStillOpens) {
    profile_.password = "wrong";
    LoadAndShow();
    EXPECT_EQ(ReportLines(), Lines{120});
    EXPECT_NE(toolkit_.ErrorReports()[0].find("Access denied"), std::string::npos);
    EXPECT_EQ(window_->Tables().model()->headerData(0, Qt::Horizontal), "Tables");
    EXPECT_TRUE(window_->isVisible());
}

TEST_F(ExtractionWindowTest, CheckAllUncheckAllAndClearList) {
    Sql("CREATE TABLE a (e TEXT)");
    Sql("CREATE TABLE b (e TEXT)");
    LoadAndShow();
    auto& tables = window_->Tables().Model();
    window_->Results().Model().Append("kept@example.com", true);
    Click("Uncheck All");
    EXPECT_FALSE(tables.Checked(1));
    EXPECT_FALSE(tables.Checked(2));
    tables.setData(tables.index(1, 0), Qt::Checked, Qt::CheckStateRole);  // as a click on the box does
    Click("Check All");
    EXPECT_TRUE(tables.Checked(1));
    EXPECT_TRUE(tables.Checked(2));
    EXPECT_EQ(Rows(window_->Results()), Strings{"kept@example.com"});
    Click("Clear List");
    EXPECT_EQ(window_->Results().Model().Count(), 0);
    EXPECT_EQ(tables.Count(), 2);
    Click("Clear List");
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ExtractionWindowTest, StartExtractingFillsTheResultListAndRefusesASecondStartMeanwhile) {
    Sql("CREATE TABLE people (name TEXT, email TEXT)");
    Sql("INSERT INTO people VALUES ('Ann', 'Ann@Example.com'), ('Bob', 'bob@example.org'), ('Ann', "
        "'ann@example.COM')");
    Sql("CREATE TABLE notes (body TEXT)");
    Sql("INSERT INTO notes VALUES ('write to <carol@example.net>, or bob@EXAMPLE.org')");
    LoadAndShow();
    int second_clicks = 0;
    toolkit_.OnProcessEvents([&] {
        if (second_clicks++ == 0) Click("Start Extracting");
    });
    Click("Start Extracting");
    EXPECT_GT(second_clicks, 0);
    // "notes" comes first in the server's order.
    EXPECT_EQ(Rows(window_->Results()), (Strings{"carol@example.net", "bob@EXAMPLE.org", "Ann@Example.com"}));
    // The view has every row when the run ends, not at the next batch.
    EXPECT_EQ(window_->Results().Model().rowCount(), 3);
    for (std::int64_t row = 1; row <= 3; ++row) EXPECT_TRUE(window_->Results().Model().Checked(row));
    EXPECT_EQ(window_->ProgressBar().value(), 100);
    EXPECT_TRUE(toolkit_.ErrorReports().empty());

    // A second run lists the same addresses again.
    toolkit_.OnProcessEvents({});
    Click("Start Extracting");
    EXPECT_EQ(window_->Results().Model().Count(), 3);
}

// A support ticket with Unix line ends; the bar filled by its table must not fall back while the run
// passes the tables after it.
TEST_F(ExtractionWindowTest, ATicketsAddressesAreFoundAndTheFullBarStaysFullThroughTheTablesAfterIt) {
    Sql("CREATE TABLE a_tickets (body TEXT) ENGINE=MyISAM");  // keeps an exact count: the estimate is met
    Sql("INSERT INTO a_tickets VALUES ('From: jane.doe+orders@mail.example.com\nHello, the parcel is still "
        "missing. Please write to my partner at john@example.org.\nCc: support@shop.example.net\nThanks')");
    Sql("CREATE TABLE b_archive (body TEXT) ENGINE=MyISAM");
    Sql("INSERT INTO b_archive VALUES ('old@example.com'), ('older@example.com')");
    Sql("CREATE TABLE c_empty (body TEXT) ENGINE=MyISAM");
    LoadAndShow();
    auto& tables = window_->Tables().Model();
    tables.SetChecked(2, false);
    tables.SetChecked(3, false);
    Click("Start Extracting");
    EXPECT_EQ(Rows(window_->Results()),
              (Strings{"jane.doe+orders@mail.example.com", "john@example.org", "support@shop.example.net"}));
    EXPECT_EQ(window_->ProgressBar().value(), 100) << "unticked tables after it";
    tables.SetChecked(3, true);
    Click("Start Extracting");
    EXPECT_EQ(window_->ProgressBar().value(), 100) << "an empty table after it";
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

// After a run the list shows its last rows: the focus that comes to it lands on the row shown, and
// Home and End bring their row into view even when it is the current one already.
TEST_F(ExtractionWindowTest, TheResultListsFocusIsOnTheRowShownAfterARun) {
    Sql("CREATE TABLE many (e TEXT)");
    std::string values = "('a0@example.com')";
    for (int i = 1; i < 40; ++i) values += ", ('a" + std::to_string(i) + "@example.com')";
    Sql("INSERT INTO many VALUES " + values);
    LoadAndShow();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    Click("Start Extracting");
    ui::CheckListView& results = window_->Results();
    const auto shown = [&results](int row) {
        return results.viewport()->rect().contains(results.visualRect(results.model()->index(row, 0)));
    };
    results.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(results.currentIndex().row(), 39);
    EXPECT_TRUE(shown(39));
    QTest::keyClick(&results, Qt::Key_Home);
    EXPECT_EQ(results.currentIndex().row(), 0);
    EXPECT_TRUE(shown(0));
    QTest::keyClick(&results, Qt::Key_End);
    results.scrollToTop();  // scrolled away with the mouse wheel
    QTest::keyClick(&results, Qt::Key_End);
    EXPECT_TRUE(shown(39));
    // Focus that comes back after the list was scrolled away lands on a row in view.
    Button("Start Extracting").setFocus(Qt::TabFocusReason);
    results.scrollToTop();
    results.setFocus(Qt::BacktabFocusReason);
    EXPECT_TRUE(shown(results.currentIndex().row()));
}

TEST_F(ExtractionWindowTest, EachResultRowsToolTipSaysWhereItsAddressWasFound) {
    std::string columns = "c1 TEXT";
    std::string values = "'Ann@Example.com'";
    for (int i = 2; i <= 12; ++i) {
        columns += ", c" + std::to_string(i) + " TEXT";
        values += ", 'ann@example.com'";
    }
    Sql("CREATE TABLE wide (" + columns + ")");
    Sql("INSERT INTO wide (c1) VALUES ('ANN@example.com twice: ann@example.com')");
    Sql("INSERT INTO wide VALUES (" + values + ")");
    Sql("CREATE TABLE `<b>x` (e TEXT)");
    Sql("INSERT INTO `<b>x` VALUES ('bob@example.org'), (NULL), ('Bob@example.org')");
    LoadAndShow();
    Click("Start Extracting");
    auto& results = window_->Results().Model();
    const auto tool_tip = [&](int row) {
        QTextDocument shown;
        shown.setHtml(results.data(results.index(row, 0), Qt::ToolTipRole).toString());
        return shown.toPlainText().replace(QChar::LineSeparator, QLatin1Char('\n')).toStdString();
    };
    EXPECT_EQ(Rows(window_->Results()), (Strings{"bob@example.org", "ANN@example.com"}));
    EXPECT_EQ(tool_tip(0), "<b>x.e: 2 rows");
    EXPECT_EQ(tool_tip(1),
              "wide.c1: 2 rows\nwide.c2: 1 row\nwide.c3: 1 row\nwide.c4: 1 row\nwide.c5: 1 row\nwide.c6: 1 "
              "row\nwide.c7: 1 row\nwide.c8: 1 row\nwide.c9: 1 row\nwide.c10: 1 row\nand 2 more");
}

// The result list and where each address was found are those of one connection, whichever table of
// several connections ends first.
TEST_F(ExtractionWindowTest, ARunOverSeveralConnectionsListsWhatOneConnectionLists) {
    // Slow to answer, as a server far away: the run reads the tables after them ahead.
    Sql("CREATE VIEW a_lag AS SELECT SLEEP(0.05) AS pause, 'lag@x.example' AS e");
    Sql("CREATE VIEW a_lag2 AS SELECT SLEEP(0.05) AS pause");
    for (int t = 1; t <= 10; ++t) {
        const std::string name = "t" + std::to_string(t);
        Sql("CREATE TABLE " + name + " (a TEXT, b TEXT)");
        Sql("INSERT INTO " + name + " SELECT CONCAT('u', seq MOD 7, '@T" + std::to_string(t % 3) +
            ".example'), CONCAT('own" + name + "@x.example U', seq MOD 5, '@t1.EXAMPLE') FROM seq_1_to_" +
            std::to_string(t % 4 == 1 ? 3000 : 20));
    }
    LoadAndShow();
    auto& results = window_->Results().Model();
    const auto listed = [&] {
        std::vector<std::string> rows;
        for (int row = 0; row < results.rowCount(); ++row) {
            rows.push_back(results.Text(row + 1) + " " +
                           results.data(results.index(row, 0), Qt::ToolTipRole).toString().toStdString());
        }
        return rows;
    };
    window_->SetRunConnections(1);
    Click("Start Extracting");
    const std::vector<std::string> one = listed();
    window_->SetRunConnections(4);
    Click("Start Extracting");
    EXPECT_EQ(listed(), one);
    EXPECT_GT(one.size(), 20u);
    EXPECT_TRUE(toolkit_.ErrorReports().empty());
}

TEST_F(ExtractionWindowTest, SwitchShowsTheConnectionWindowAndHidesThisOneAsItIs) {
    LoadAndShow();
    window_->Results().Model().Append("kept@example.com", true);
    Click("Switch MySQL Database");
    EXPECT_EQ(connection_window_shown_, 1);
    EXPECT_FALSE(window_->isVisible());
    window_->show();
    EXPECT_EQ(Rows(window_->Results()), Strings{"kept@example.com"});
}

TEST_F(ExtractionWindowTest, ClosingEndsTheProgramAlsoDuringARun) {
    Sql("CREATE TABLE t (e TEXT)");
    Sql("INSERT INTO t VALUES ('a@example.com'), ('b@example.com')");
    LoadAndShow();
    toolkit_.OnProcessEvents([&] {
        if (toolkit_.EndProgramCalls() == 0) window_->close();
    });
    Click("Start Extracting");
    EXPECT_EQ(toolkit_.EndProgramCalls(), 1);
}

TEST_F(ExtractionWindowTest, HoverShowsTheHandOverButtonsButNeverReplacesTheHourglass) {
    LoadAndShow();
    auto move_over = [](QWidget& widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
    };
    move_over(Button("Start Extracting"));
    EXPECT_EQ(window_->Pointer().State(), ui::PointerState::kCustom);
    move_over(*window_->Results().viewport());
    EXPECT_EQ(window_->Pointer().State(), ui::PointerState::kDefault);
    window_->Pointer().SetState(ui::PointerState::kHourglass);
    move_over(Button("Save Results As Text File"));
    move_over(*window_);
    EXPECT_EQ(window_->Pointer().State(), ui::PointerState::kHourglass);
}

TEST_F(ExtractionWindowTest, AComponentThatCannotBeCreatedIsReportedPerStep) {
    FailingDatabase broken;
    ui::ExtractionWindow window(
        toolkit_, broken, [this] { return profile_; }, [] {});
    window.Load();
    EXPECT_EQ(ReportLines(), Lines{120});
    toolkit_.ClearBoxes();
    window.OnStartExtracting();
    EXPECT_EQ(ReportLines(), (Lines{100, 104, 106, 110, 170, 170}));
}

}  // namespace
}  // namespace kestrelmoor::test
