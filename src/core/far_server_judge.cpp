// SPDX-License-Identifier: MIT
#include "core/far_server_judge.h"

namespace kestrelmoor {

bool FarServerJudge::RoundTrip(const std::function<bool()>& round_trip) {
    const Clock::time_point before = now_();
    if (!round_trip()) return false;
    far_round_trips_ = now_() - before >= kFarAnswer ? far_round_trips_ + 1 : 0;
    return true;
}

void FarServerJudge::Asked() {
    asked_ = now_();
    answer_.reset();
}

void FarServerJudge::Answered() {
    if (asked_ && !answer_) answer_ = now_() - *asked_;
}

void FarServerJudge::Ended(bool read) {
    if (!asked_) return;
    const Clock::duration whole = now_() - *asked_;
    asked_.reset();
    if (!read) return;
    const Clock::duration answer = answer_.value_or(whole);
    const bool waited = answer >= kFarAnswer && 2 * answer >= whole;
    far_answers_ = waited ? far_answers_ + 1 : 0;
}

}  // namespace kestrelmoor
