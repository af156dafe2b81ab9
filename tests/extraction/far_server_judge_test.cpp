// SPDX-License-Identifier: MIT
// When the server looks far away, on a clock of the test's own.
#include <gtest/gtest.h>

#include "core/far_server_judge.h"

namespace kestrelmoor::test {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

class JudgeTest : public ::testing::Test {
  protected:
    FarServerJudge::Clock::time_point now_{};
    FarServerJudge judge_{[this] { return now_; }};

    // A table whose first row came `answer` after it was asked, and which ended `whole` after it.
    void Table(FarServerJudge::Clock::duration answer, FarServerJudge::Clock::duration whole,
               bool read = true) {
        judge_.Asked();
        now_ += answer;
        judge_.Answered();
        now_ += whole - answer;
        judge_.Answered();  // later rows are no answer
        judge_.Ended(read);
    }
};

TEST_F(JudgeTest, TwoTablesInARowThatWaitedAtLeastFiveMillisecondsAndHalfTheirRead) {
    Table(milliseconds(5), milliseconds(10));
    EXPECT_FALSE(judge_.FarAway()) << "one table is no row";
    Table(milliseconds(5), milliseconds(10));
    EXPECT_TRUE(judge_.FarAway());
}

TEST_F(JudgeTest, JustShortOfEitherBoundIsClose) {
    Table(milliseconds(5) - microseconds(1), milliseconds(5));
    Table(milliseconds(5) - microseconds(1), milliseconds(5));
    EXPECT_FALSE(judge_.FarAway()) << "answers under 5 ms";
    Table(milliseconds(5), milliseconds(10) + microseconds(1));
    Table(milliseconds(5), milliseconds(10) + microseconds(1));
    EXPECT_FALSE(judge_.FarAway()) << "answers under half the read: a big table close by";
}

TEST_F(JudgeTest, AQuickTableBreaksTheRowAndATableWithoutRowsWaitedItsWholeRead) {
    Table(milliseconds(8), milliseconds(9));
    Table(microseconds(300), milliseconds(400));  // a big table on a server close by
    Table(milliseconds(8), milliseconds(9));
    EXPECT_FALSE(judge_.FarAway());
    judge_.Asked();
    now_ += milliseconds(7);
    judge_.Ended(true);
    EXPECT_TRUE(judge_.FarAway());
}

TEST_F(JudgeTest, AFailedTableNeitherCountsNorBreaksTheRow) {
    Table(milliseconds(6), milliseconds(7));
    Table(microseconds(10), milliseconds(900), /*read=*/false);  // failed half way after a quick answer
    EXPECT_FALSE(judge_.FarAway());
    Table(milliseconds(6), milliseconds(7));
    EXPECT_TRUE(judge_.FarAway());
    FarServerJudge fresh([this] { return now_; });
    fresh.Asked();
    now_ += milliseconds(50);
    fresh.Ended(false);
    fresh.Ended(true);  // no table asked since: nothing to judge
    EXPECT_FALSE(fresh.FarAway());
}

// The login's round trips: two in a row of 5 ms or more tell a far server before any table; a quick one
// breaks the row, and a connection that cannot make one says nothing.
TEST_F(JudgeTest, TwoSlowRoundTripsOfTheLoginInARowAreFar) {
    const auto round_trip = [&](FarServerJudge::Clock::duration taking, bool made = true) {
        return judge_.RoundTrip([&] {
            now_ += taking;
            return made;
        });
    };
    EXPECT_TRUE(round_trip(milliseconds(5)));
    EXPECT_TRUE(round_trip(milliseconds(5) - microseconds(1)));
    EXPECT_TRUE(round_trip(milliseconds(20)));
    EXPECT_FALSE(round_trip(milliseconds(20), /*made=*/false));
    EXPECT_FALSE(judge_.FarAway());
    EXPECT_TRUE(round_trip(milliseconds(20)));
    EXPECT_TRUE(judge_.FarAway());
}

}  // namespace
}  // namespace kestrelmoor::test
