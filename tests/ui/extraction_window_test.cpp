// SPDX-License-Identifier: MIT
// The extraction window with real widgets on the offscreen platform, against the test server.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include <QAccessible>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTemporaryDir>
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

// While the run is under way its button is the Stop (tested with Esc below): no second run can start.
TEST_F(ExtractionWindowTest, StartExtractingFillsTheResultListAndOffersNoSecondStartMeanwhile) {
    Sql("CREATE TABLE people (name TEXT, email TEXT)");
    Sql("INSERT INTO people VALUES ('Ann', 'Ann@Example.com'), ('Bob', 'bob@example.org'), ('Ann', "
        "'ann@example.COM')");
    Sql("CREATE TABLE notes (body TEXT)");
    Sql("INSERT INTO notes VALUES ('write to <carol@example.net>, or bob@EXAMPLE.org')");
    LoadAndShow();
    int looks = 0;
    toolkit_.OnProcessEvents([&] {
        if (looks++ == 0) {
            EXPECT_THROW(Button("Start Extracting"), std::logic_error);
        }
    });
    Click("Start Extracting");
    EXPECT_GT(looks, 0);
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

// The server kills the connection reading a slow view while other connections read ahead: that view
// alone is reported, in one box, and every other table is listed as in a run without the kill.
TEST_F(ExtractionWindowTest, AConnectionKilledMidRunCostsItsOwnTableOnly) {
    Sql("CREATE VIEW a_lag AS SELECT SLEEP(0.05) AS pause, 'lag@x.example' AS e");
    Sql("CREATE VIEW a_lag2 AS SELECT SLEEP(0.05) AS pause");
    Sql("CREATE VIEW t3_slow AS SELECT seq, SLEEP(0.2) AS pause, CONCAT('v', seq, '@only.example') AS e "
        "FROM seq_1_to_20");
    for (int t = 1; t <= 8; ++t) {
        const std::string name = "t" + std::to_string(t);
        Sql("CREATE TABLE " + name + " (a TEXT)");
        Sql("INSERT INTO " + name + " SELECT CONCAT('u', seq MOD 7, '@T" + std::to_string(t % 3) +
            ".example own" + name + "@x.example') FROM seq_1_to_50");
    }
    LoadAndShow();
    Click("Start Extracting");
    const std::vector<std::string> plain = Rows(window_->Results());
    ASSERT_TRUE(toolkit_.ErrorReports().empty());

    std::string killed;
    std::thread killer([&] {
        AdminSession admin;
        for (int i = 0; i < 200 && killed.empty(); ++i) {
            for (const Row& row : admin.Query("SELECT ID FROM information_schema.PROCESSLIST WHERE INFO LIKE "
                                              "'%`t3_slow`%' AND ID <> CONNECTION_ID()")) {
                killed = row.at(0).value_or("");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (!killed.empty()) admin.Run("KILL CONNECTION " + killed);
    });
    Click("Start Extracting");
    killer.join();
    ASSERT_FALSE(killed.empty());
    EXPECT_EQ(ReportLines(), (std::vector<int>{124}));
    EXPECT_NE(toolkit_.ErrorReports().at(0).find("Lost connection"), std::string::npos)
        << toolkit_.ErrorReports().at(0);
    const auto without_view = [](std::vector<std::string> rows) {
        std::erase_if(rows, [](const std::string& row) { return row.ends_with("@only.example"); });
        return rows;
    };
    EXPECT_EQ(without_view(Rows(window_->Results())), without_view(plain));
}

// Esc and the "Stop" button end a run over a slow table within a second, on one connection and while
// tables are read ahead: the addresses found stay listed, ticked and exportable, the table cut short
// ends without a report, no statement of the run is left on the server, and the next run lists what a
// run without the stop lists.
TEST_F(ExtractionWindowTest, EscAndTheStopButtonEndARunAtOnceAndKeepWhatItFound) {
    // Slow to answer, as a server far away: with several connections the tables after them are read
    // ahead.
    Sql("CREATE VIEW a_lag AS SELECT SLEEP(0.05) AS pause, 'lag@x.example' AS e");
    Sql("CREATE VIEW a_lag2 AS SELECT SLEEP(0.05) AS pause");
    Sql("CREATE TABLE b_found (e TEXT)");
    Sql("INSERT INTO b_found VALUES ('ann@example.com'), ('bob@example.com')");
    // 40 small rows, each after a pause: the server sends them only at the end (about 2 s).
    Sql("CREATE VIEW c_slow AS SELECT seq, SLEEP(0.05) AS pause, CONCAT('s', seq, '@example.com') AS e"
        " FROM seq_1_to_40");
    Sql("CREATE TABLE d_after (e TEXT)");
    Sql("INSERT INTO d_after VALUES ('after@example.com')");
    LoadAndShow();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    Click("Start Extracting");
    const Strings whole = Rows(window_->Results());
    ASSERT_EQ(whole.size(), 44u);

    using Clock = std::chrono::steady_clock;
    for (const int connections : {1, 4}) {
        for (const bool escape : {true, false}) {
            SCOPED_TRACE((escape ? "Esc, " : "the Stop button, ") + std::to_string(connections) +
                         " connections");
            window_->SetRunConnections(connections);
            std::optional<Clock::time_point> reached, asked;
            QString caption, tip;
            int sessions = 0;  // the run's, as the stop is asked for
            const auto listed_now = [&](const char* address) {
                const Strings rows = Rows(window_->Results());
                return std::find(rows.begin(), rows.end(), address) != rows.end();
            };
            toolkit_.OnProcessEvents([&] {
                // The stop comes while the slow table is read: the one before it has been listed.
                if (asked || !listed_now("bob@example.com")) return;
                if (!reached) reached = Clock::now();
                sessions = ScratchSessions();
                // Reading ahead opens its further connections as tables wait for them (slower on a
                // busy machine); the slow table leaves them more than a second.
                if (connections > 1 && sessions < 2 && Clock::now() - *reached < std::chrono::seconds(1))
                    return;
                asked = Clock::now();
                caption = Button("Stop Extracting").text();
                tip = Button("Stop Extracting").toolTip();
                if (escape) {
                    QTest::keyClick(&window_->Tables(), Qt::Key_Escape);
                } else {
                    QTest::mouseClick(&Button("Stop Extracting"), Qt::LeftButton);
                }
            });
            Click("Start Extracting");
            toolkit_.OnProcessEvents({});
            ASSERT_TRUE(asked);
            EXPECT_LT(Clock::now() - *asked, std::chrono::seconds(1));
            EXPECT_EQ(caption, "Stop");
            if (connections > 1) {
                EXPECT_GT(sessions, 1) << "no table was read ahead";
            }
            EXPECT_TRUE(tip.contains("Esc")) << tip.toStdString();
            EXPECT_EQ(Button("Start Extracting").toolTip(), "") << "outside a run the button is as before";
            const Strings listed = Rows(window_->Results());
            EXPECT_EQ(listed, Strings(whole.begin(), whole.begin() + static_cast<long>(listed.size())));
            EXPECT_TRUE(std::find(listed.begin(), listed.end(), "after@example.com") == listed.end());
            for (std::int64_t row = 1; row <= window_->Results().Model().Count(); ++row)
                EXPECT_TRUE(window_->Results().Model().Checked(row));
            EXPECT_TRUE(toolkit_.ErrorReports().empty()) << toolkit_.ErrorReports().front();
            EXPECT_EQ(ScratchSessionsSettled(), 0) << "a statement of the run is left on the server";

            const QString path = folder.filePath(QString::number(connections) + (escape ? "-esc" : "-stop"));
            toolkit_.QueueSaveFileName(path);
            Click("Save Results As Text File");
            QFile saved(path);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            std::string bytes;
            for (const std::string& address : listed) bytes += address + "\r\n";
            EXPECT_EQ(saved.readAll().toStdString(), bytes);
            toolkit_.ClearBoxes();
        }
    }
    Click("Start Extracting");
    EXPECT_EQ(Rows(window_->Results()), whole) << "a run after a stop begins afresh";
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
