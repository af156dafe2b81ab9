// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace kestrelmoor {

// Whether the server looks far away, judged from the tables the run reads on its own connection.
// A server far away (or slow to answer) makes each table cost at least its wait for the first answer,
// which connections side by side overlap; a server close by answers within a millisecond or so, and a
// big table's rows take far longer than its first answer: there reading ahead only adds the threads'
// work to one connection's. So the server looks far once kAnswersToJudge tables in a row waited at
// least kFarAnswer for their first answer, and that wait was at least half of the table's whole read.
// A table that failed says nothing of the distance: it neither counts nor breaks the row.
// Before the first table, the login's round trips say as much: kAnswersToJudge of them, each at least
// kFarAnswer, and the server is far from the start (a single big table then costs its bytes over a slow
// link, and only the values that can hold an address are asked for).
class FarServerJudge {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    static constexpr std::chrono::milliseconds kFarAnswer{5};
    static constexpr int kAnswersToJudge = 2;

    explicit FarServerJudge(Now now = &Clock::now) : now_(std::move(now)) {}

    // A table's statement goes to the server.
    void Asked();
    // A row of it arrived: the first one is the table's answer.
    void Answered();
    // Its read ended: to its end (or stopped there) when `read`, else failed. A table without rows waited
    // its whole read for its answer.
    void Ended(bool read);
    // Times a round trip of the login: `round_trip` makes it, false when it cannot (nothing is judged).
    bool RoundTrip(const std::function<bool()>& round_trip);
    bool FarAway() const { return far_answers_ >= kAnswersToJudge || far_round_trips_ >= kAnswersToJudge; }

  private:
    Now now_;
    std::optional<Clock::time_point> asked_;  // the table being read, if any
    std::optional<Clock::duration> answer_;
    int far_answers_ = 0;      // tables in a row, up to the last one ended, that waited
    int far_round_trips_ = 0;  // round trips in a row that took kFarAnswer or more
};

}  // namespace kestrelmoor
