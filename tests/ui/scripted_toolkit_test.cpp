// SPDX-License-Identifier: MIT
#include "support/scripted_toolkit.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "common/error_locations.h"
#include "common/error_trap.h"

namespace kestrelmoor::test {
namespace {

using BoxKind = ScriptedToolkit::BoxKind;
using BoxIcon = ScriptedToolkit::BoxIcon;

TEST(ScriptedToolkit, RecordsBoxesInOrderAndAnswersFromTheQueue) {
    ScriptedToolkit toolkit;
    toolkit.SetApplicationTitle("Kestrelmoor");
    toolkit.QueueAnswer(true);
    toolkit.QueueAnswer(false);

    toolkit.ShowMessage("Connection successful.");
    EXPECT_TRUE(toolkit.AskYesNo("First?"));
    Trap trap(toolkit, kTestConnectionLocation);
    trap.Step(TestConnectionStep::CreateConnection, [] { throw std::runtime_error("Access denied"); });
    EXPECT_FALSE(toolkit.AskYesNo("Second?"));

    const auto& boxes = toolkit.Boxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].kind, BoxKind::Message);
    EXPECT_EQ(boxes[0].caption, "Kestrelmoor");
    EXPECT_EQ(boxes[0].icon, BoxIcon::None);
    EXPECT_EQ(boxes[1].kind, BoxKind::Question);
    EXPECT_EQ(boxes[1].text, "First?");
    EXPECT_EQ(boxes[2].kind, BoxKind::ErrorReport);
    EXPECT_EQ(boxes[2].caption, "Application Error");
    EXPECT_EQ(boxes[2].icon, BoxIcon::Warning);
    EXPECT_EQ(boxes[3].text, "Second?");
    ASSERT_EQ(toolkit.ErrorReports().size(), 1u);
    EXPECT_EQ(toolkit.ErrorReports()[0], BuildErrorReportText("Access denied", kTestConnectionLocation, 100));
}

TEST(ScriptedToolkit, AQuestionWithoutAnAnswerAndAnAnswerWithoutAQuestionFailTheTest) {
    ScriptedToolkit toolkit;
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = toolkit.AskYesNo("Anyone?"), "Unanswered question: Anyone?");
    EXPECT_FALSE(answer);
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedToolkit unasked;
            unasked.QueueAnswer(true);
        },
        "never asked for");
}

TEST(ScriptedToolkit, CountsEventProcessingAndRunsTheHookThere) {
    ScriptedToolkit toolkit;
    int hook_runs = 0;
    toolkit.OnProcessEvents([&] { ++hook_runs; });
    toolkit.ProcessPendingEvents();
    toolkit.ProcessPendingEvents();
    toolkit.ProcessPendingEventsNow();
    EXPECT_EQ(toolkit.ProcessEventsCalls(), 2);
    EXPECT_EQ(toolkit.ProcessEventsNowCalls(), 1);
    EXPECT_EQ(hook_runs, 3);
}

}  // namespace
}  // namespace kestrelmoor::test
