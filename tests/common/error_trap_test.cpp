// SPDX-License-Identifier: MIT
#include "common/error_trap.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/error_locations.h"

namespace kestrelmoor {
namespace {

struct RecordingReport : ErrorReport {
    void ShowErrorReport(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

std::string Expected(const std::string& description, std::string_view location, int line) {
    return description + "\r\n" + std::string(location) + "at line " + std::to_string(line) +
           "\r\rPlease email screenshot of this message to support@kestrelmoor.org";
}

// Lines without names: the trap takes any enumeration as a handler's steps.
enum class Line {};

[[noreturn]] void Fail(const char* description) {
    throw std::runtime_error(description);
}

TEST(ErrorReportText, JoinsThePartsWithNothingBetween) {
    EXPECT_EQ(
        BuildErrorReportText("Access denied for user 'x'@'localhost'", kTestConnectionLocation, 100),
        "Access denied for user 'x'@'localhost'\r\nin Kestrelwick2017/04/05.Form1.PushButton5_Click at line "
        "100\r\rPlease email screenshot of this message to support@kestrelmoor.org");
    // An empty description still gives the line break, so the report starts with an empty line.
    EXPECT_EQ(BuildErrorReportText("", kExtractionWindowLoadLocation, 0),
              "\r\nin Kestrelwick2017/04/05.Form2.Form_Load at line 0\r\rPlease email screenshot of this "
              "message to "
              "support@kestrelmoor.org");
}

TEST(Trap, FailureInTheFirstStepReportsLine100AndTheHandlerGoesOn) {
    RecordingReport report;
    Trap trap(report, kStartExtractingLocation);
    std::vector<int> ran;
    EXPECT_FALSE(trap.Step(Line{100}, [&] { Fail("Class not registered"); }));
    EXPECT_TRUE(trap.Step(Line{102}, [&] { ran.push_back(102); }));
    EXPECT_TRUE(trap.Step(Line{104}, [&] { ran.push_back(104); }));
    ASSERT_EQ(report.texts.size(), 1u);
    EXPECT_EQ(report.texts[0], Expected("Class not registered", kStartExtractingLocation, 100));
    EXPECT_EQ(ran, (std::vector<int>{102, 104}));

    // What the failing step was to set keeps its value.
    int last_row = 41;
    trap.Step(Line{134}, [&] { last_row = []() -> int { Fail("No current record"); }() - 1; });
    EXPECT_EQ(last_row, 41);
}

TEST(Trap, TwoFailingStepsGiveTwoReportsEachWithItsLine) {
    RecordingReport report;
    Trap trap(report, kStartExtractingLocation);
    trap.Step(Line{100}, [] {});
    trap.Step(Line{110}, [] { Fail("first"); });
    trap.Step(Line{112}, [] {});
    trap.Step(Line{124}, [] { Fail(""); });
    trap.Step(Line{126}, [] {});
    EXPECT_EQ(report.texts, (std::vector<std::string>{Expected("first", kStartExtractingLocation, 110),
                                                      Expected("", kStartExtractingLocation, 124)}));
}

TEST(Trap, AStepThatFailsAfterANestedStepReportsItsOwnLine) {
    RecordingReport report;
    Trap trap(report, kStartExtractingLocation);
    trap.Step(Line{124}, [&] {
        trap.Step(Line{148}, [] {});
        trap.Step(Line{148}, [] { Fail("row"); });
        Fail("table");
    });
    EXPECT_EQ(report.texts, (std::vector<std::string>{Expected("row", kStartExtractingLocation, 148),
                                                      Expected("table", kStartExtractingLocation, 124)}));
}

TEST(Trap, ConditionTests) {
    RecordingReport report;
    Trap trap(report, kNextLocation);
    EXPECT_TRUE(trap.Test(Line{100}, [] { return true; }));
    EXPECT_FALSE(trap.Test(Line{100}, [] { return false; }));
    EXPECT_TRUE(report.texts.empty());

    // A failing test counts as holding: execution goes on inside the condition.
    bool inside = false;
    if (trap.Test(Line{100}, []() -> bool { Fail("ActiveX component can't create object"); })) {
        inside = trap.Step(Line{102}, [] {});
    }
    EXPECT_TRUE(inside);
    EXPECT_EQ(
        report.texts,
        (std::vector<std::string>{Expected("ActiveX component can't create object", kNextLocation, 100)}));
}

TEST(Trap, CountedLoops) {
    RecordingReport report;
    Trap trap(report, kStartExtractingLocation);
    std::vector<int> seen;
    for (int i : trap.Loop(Line{120}, 1, [] { return 3; })) {
        seen.push_back(i);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));

    seen.clear();
    for (int i : trap.Loop(Line{150}, 0, [] { return -1; })) {  // an empty list gives no pass
        seen.push_back(i);
    }
    EXPECT_TRUE(seen.empty());

    // The bound is taken once, when the loop starts.
    int count = 2;
    seen.clear();
    for (int i : trap.Loop(Line{120}, 1, [&] { return count; })) {
        seen.push_back(i);
        count = 10;
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));

    // Up to the largest value without running past it.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::vector<std::int64_t> top;
    for (std::int64_t i : trap.Loop(Line{136}, kMax - 1, [] { return kMax; })) {
        top.push_back(i);
    }
    EXPECT_EQ(top, (std::vector<std::int64_t>{kMax - 1, kMax}));
    EXPECT_TRUE(report.texts.empty());
}

TEST(Trap, AFailingLoopHeadContinuesWithTheFirstStepOfTheBody) {
    RecordingReport report;
    Trap trap(report, kStartExtractingLocation);
    std::vector<int> passes;
    for (int i : trap.Loop(Line{120}, 1, []() -> int { Fail("Object required"); })) {
        trap.Step(Line{122}, [&] { passes.push_back(i); });
    }
    trap.Step(Line{168}, [] { Fail("after the loop"); });
    EXPECT_EQ(passes, (std::vector<int>{1}));
    EXPECT_EQ(report.texts,
              (std::vector<std::string>{Expected("Object required", kStartExtractingLocation, 120),
                                        Expected("after the loop", kStartExtractingLocation, 168)}));
}

TEST(Trap, DescribesEveryKindOfException) {
    RecordingReport report;
    Trap trap(report, kSaveTextFileLocation);
    trap.Step(Line{100}, [] { throw std::out_of_range("Subscript out of range"); });
    trap.Step(Line{102}, [] { throw std::string("a thrown string"); });
    trap.Step(Line{104}, [] { throw "a thrown literal"; });
    trap.Step(Line{106}, [] { throw 42; });
    struct NotAStdException {};
    trap.Step(Line{108}, [] { throw NotAStdException{}; });
    EXPECT_EQ(report.texts,
              (std::vector<std::string>{Expected("Subscript out of range", kSaveTextFileLocation, 100),
                                        Expected("a thrown string", kSaveTextFileLocation, 102),
                                        Expected("a thrown literal", kSaveTextFileLocation, 104),
                                        Expected("Unknown error", kSaveTextFileLocation, 106),
                                        Expected("Unknown error", kSaveTextFileLocation, 108)}));
}

// A report that runs a nested handler (as the window system may while a modal box is up) and that
// handler fails in turn: both reports appear, each with its own location and line.
TEST(Trap, AHandlerRunWhileAReportIsShownHasItsOwnTrap) {
    struct NestingReport : RecordingReport {
        void ShowErrorReport(const std::string& text) override {
            RecordingReport::ShowErrorReport(text);
            if (texts.size() == 1) {
                Trap nested(*this, kClearListLocation);
                nested.Step(Line{100}, [] { Fail("nested"); });
            }
        }
    } report;
    Trap trap(report, kStartExtractingLocation);
    trap.Step(Line{148}, [] { Fail("outer"); });
    trap.Step(Line{150}, [] { Fail("outer again"); });
    EXPECT_EQ(report.texts,
              (std::vector<std::string>{Expected("outer", kStartExtractingLocation, 148),
                                        Expected("nested", kClearListLocation, 100),
                                        Expected("outer again", kStartExtractingLocation, 150)}));
}

}  // namespace
}  // namespace kestrelmoor
