// SPDX-License-Identifier: MIT
// The error trap under which every button and load handler runs.
//
// A handler is a list of numbered steps, written so that it reads like its step table:
//
//     Trap trap(toolkit, kStartExtractingLocation);
//     trap.Step(100, [&] { connection = database.CreateConnection(); });
//     for (int i : trap.Loop(120, 1, [&] { return tables.Count(); })) {
//         if (trap.Test(122, [&] { return tables.Checked(i); })) { ... }
//         trap.Line(166);
//     }
//
// A step that throws is abandoned, the report (description, location, current line, the request to
// send a screenshot) is shown through the ErrorReport, and the handler goes on with the next step. A
// failing condition counts as holding, so execution continues inside the condition; a failing loop
// head still runs the body once. Variables a failing step was to set keep their old values, provided
// the step assigns only after the call that may throw (as the lambdas above do).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "common/error_report.h"

namespace kestrelmoor {

// Where users send the screenshot of an error report.
inline constexpr std::string_view kSupportAddress = "support@kestrelmoor.org";

// The report text: description, CR LF, location, "at line ", the line in decimal, CR CR, and the
// request to e-mail a screenshot to the support address. The location ends with its own space.
std::string BuildErrorReportText(std::string_view description, std::string_view location, int line);

// The integers first..last inclusive, in steps of one; empty when last < first. Safe up to the largest
// value of Int (no overflow past `last`).
template <class Int>
class CountedLoop {
  public:
    class iterator {
      public:
        iterator(Int value, Int last, bool done) : value_(value), last_(last), done_(done) {}
        Int operator*() const { return value_; }
        iterator& operator++() {
            if (value_ == last_) {
                done_ = true;
            } else {
                ++value_;
            }
            return *this;
        }
        bool operator==(const iterator& other) const {
            return done_ == other.done_ && (done_ || value_ == other.value_);
        }

      private:
        Int value_;
        Int last_;
        bool done_;
    };

    CountedLoop(Int first, Int last) : first_(first), last_(last) {}
    iterator begin() const { return iterator(first_, last_, last_ < first_); }
    iterator end() const { return iterator(last_, last_, true); }

  private:
    Int first_;
    Int last_;
};

class Trap {
  public:
    // `location` is one of the texts of error_locations.h.
    Trap(ErrorReport& report, std::string_view location) : report_(report), location_(location) {}
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

    // Marks line `number` as reached: the steps that follow without a number belong to it.
    void Line(int number) { line_ = number; }
    // The last numbered line reached; 0 before the first.
    int CurrentLine() const { return line_; }

    // Runs a step of line `number`. True when it completed; false when it threw and was reported.
    template <class F>
    bool Step(int number, F&& body) {
        line_ = number;
        return Run(number, std::forward<F>(body));
    }
    // Runs a step that belongs to the current line.
    template <class F>
    bool Step(F&& body) {
        return Run(line_, std::forward<F>(body));
    }

    // The test of a condition on line `number`: its value, or true when evaluating it failed (after
    // the report), so that execution goes on inside the condition.
    template <class F>
    bool Test(int number, F&& condition) {
        line_ = number;
        return Test(std::forward<F>(condition));
    }
    template <class F>
    bool Test(F&& condition) {
        bool holds = true;
        Step([&] { holds = static_cast<bool>(std::invoke(condition)); });
        return holds;
    }

    // The head of a counted loop on line `number`: `first` to the bound that `last` gives, taken once.
    // When `last` fails (after the report) the body still runs once, with `first`.
    template <class Int, class F>
    CountedLoop<Int> Loop(int number, Int first, F&& last) {
        Int bound = first;
        Step(number, [&] { bound = static_cast<Int>(std::invoke(last)); });
        return CountedLoop<Int>(first, bound);
    }

    // Shows the report for a failure with this description on the current line.
    void Report(std::string_view description);

  private:
    // A failure is reported on `line`: steps nested in this one may have moved the current line.
    template <class F>
    bool Run(int line, F&& body) {
        std::string description;
        try {
            std::invoke(std::forward<F>(body));
            return true;
        } catch (...) {
            description = DescribeCurrentException();
        }
        line_ = line;
        // Shown outside the handler block: the report may run a modal loop of its own.
        Report(description);
        return false;
    }

    // The description of the exception being handled: what() of a std::exception, the text of a
    // thrown string, "Unknown error" for anything else.
    static std::string DescribeCurrentException();

    ErrorReport& report_;
    std::string location_;
    int line_ = 0;
};

}  // namespace kestrelmoor
