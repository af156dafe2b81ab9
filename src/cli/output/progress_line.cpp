// SPDX-License-Identifier: MIT
#include "cli/output/progress_line.h"

#include <cmath>

namespace kestrelmoor::cli {
namespace {
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
// A server that sends nothing for this long is said to be waited for.
constexpr auto kSilenceShownAfter = std::chrono::seconds(3);
}  // namespace

void ProgressLine::TableStarted(std::string_view database, std::string_view table) {
    in_table_ = true;
    name_ = database.empty() ? std::string(table) : std::string(database) + "." + std::string(table);
    rows_ = 0;
    total_.reset();
    estimate_.reset();
    if (!console_.Terminal()) return;
    began_ = drawn_ = moved_ = Clock::now();
    console_.Status(Text(drawn_));
}

RunControl ProgressLine::RowsArrived(std::int64_t rows) {
    if (!in_table_ || !console_.Terminal()) return RunControl::Continue;
    const Clock::time_point now = Clock::now();
    if (rows != rows_) moved_ = now;
    rows_ = rows;
    if (now - drawn_ >= kRedrawEvery) {
        drawn_ = now;
        console_.Status(Text(now));
    }
    return RunControl::Continue;
}

void ProgressLine::TableEnded(std::int64_t rows, bool complete) {
    if (!in_table_) return;
    in_table_ = false;
    rows_ = rows;
    if (complete) total_ = rows;
    if (!console_.Terminal()) return;
    if (rows == 0 && !complete) return;
    console_.Status(Text(Clock::now()));
    console_.EndStatus();
}

std::string ProgressLine::Text(Clock::time_point now) const {
    std::string text = name_ + ": ";
    if (rows_ == 0) {
        text += in_table_ ? "reading" : "no rows";
    } else {
        text += std::to_string(rows_);
        if (total_) {
            text += " of " + std::to_string(*total_);
        } else if (estimate_) {
            text += " of ~" + std::to_string(*estimate_);
        }
        text += " rows";
        const double seconds = std::chrono::duration<double>(now - began_).count();
        if (seconds > 0)
            text += ", " + std::to_string(std::llround(static_cast<double>(rows_) / seconds)) + " rows/s";
    }
    if (in_table_ && now - moved_ >= kSilenceShownAfter) {
        const auto silent = std::chrono::duration_cast<std::chrono::seconds>(now - moved_).count();
        text += ", waiting for the server (" + std::to_string(silent) + " s)";
    }
    return text;
}

}  // namespace kestrelmoor::cli
