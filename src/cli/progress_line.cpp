#include "cli/progress_line.h"

#include <cmath>

namespace kestrelmoor::cli {
namespace {
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
}

void ProgressLine::BeginTable(const std::string& name) {
    EndTable();
    in_table_ = true;
    name_ = name;
    done_ = 0;
    total_ = 0;
    if (!console_.Terminal()) return;
    messages_at_begin_ = console_.Messages();
    began_ = drawn_ = Clock::now();
    console_.Status(Text(drawn_));
}

void ProgressLine::SetValue(double percent) {
    if (!in_table_ || !console_.Terminal()) return;
    ++done_;
    // The run reports rows done / total x 100 once per row, so the total follows from any report.
    if (percent > 0) total_ = std::llround(static_cast<double>(done_) * 100.0 / percent);
    const Clock::time_point now = Clock::now();
    if (now - drawn_ >= kRedrawEvery) {
        drawn_ = now;
        console_.Status(Text(now));
    }
}

void ProgressLine::EndTable() {
    if (!in_table_) return;
    in_table_ = false;
    if (!console_.Terminal()) return;
    if (done_ == 0 && console_.Messages() != messages_at_begin_) return;
    console_.Status(Text(Clock::now()));
    console_.EndStatus();
}

std::string ProgressLine::Text(Clock::time_point now) const {
    std::string text = name_ + ": ";
    if (done_ == 0) return text + (in_table_ ? "reading" : "no rows");
    text += std::to_string(done_) + " of " + std::to_string(total_) + " rows";
    // From the table's start: its rows are all read from the server before the first is listed, so
    // the rate of listing alone would say nothing about how fast the table goes.
    const double seconds = std::chrono::duration<double>(now - began_).count();
    if (seconds > 0)
        text += ", " + std::to_string(std::llround(static_cast<double>(done_) / seconds)) + " rows/s";
    return text;
}

}  // namespace kestrelmoor::cli
