// SPDX-License-Identifier: MIT
// The error trap under which every button and load handler runs.
//
// A handler is a list of named steps, written so that it reads like its step table (the steps of
// each handler, and the line each one's report names, are listed in error_locations.h):
//
//     using Step = StartExtractingStep;
//     Trap trap(report, kStartExtractingLocation);
//     trap.Step(Step::CreateConnection, [&] { connection = database.CreateConnection(); });
//     for (int i : trap.Loop(Step::CountTables, 1, [&] { return tables.Count(); })) {
//         if (trap.Test(Step::Checked, [&] { return tables.Checked(i); })) { ... }
//     }
//
// A step that throws is abandoned, the report (description, location, the step's line, the request
// to send a screenshot) is shown through the ErrorReport, and the handler goes on with the next step.
// A failing condition counts as holding, so execution continues inside the condition; a failing loop
// head still runs the body once. Variables a failing step was to set keep their old values, provided
// the step assigns only after the call that may throw (as the lambdas above do).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "common/error_locations.h"
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

// The description of the exception being handled: what() of a std::exception, the text of a thrown
// string, "Unknown error" for anything else. A failure met off the run's thread is described by it too,
// so that its report reads as it would on one connection.
std::string DescribeCurrentException();

class Trap {
  public:
    // `location` is one of the texts of error_locations.h.
    Trap(ErrorReport& report, std::string_view location) : report_(report), location_(location) {}
    Trap(const Trap&) = delete;
    Trap& operator=(const Trap&) = delete;

    // Runs `step`. True when it completed; false when it threw and was reported.
    template <class StepName, class F>
    requires std::is_enum_v<StepName>
    bool Step(StepName step, F&& body) { return Run(LineOf(step), std::forward<F>(body)); }

    // The test of a condition as `step`: its value, or true when evaluating it failed (after the
    // report), so that execution goes on inside the condition.
    template <class StepName, class F>
    requires std::is_enum_v<StepName>
    bool Test(StepName step, F&& condition) {
        bool holds = true;
        Step(step, [&] { holds = static_cast<bool>(std::invoke(condition)); });
        return holds;
    }

    // The head of a counted loop as `step`: `first` to the bound that `last` gives, taken once. When
    // `last` fails (after the report) the body still runs once, with `first`.
    template <class StepName, class Int, class F>
    requires std::is_enum_v<StepName> CountedLoop<Int> Loop(StepName step, Int first, F&& last) {
        Int bound = first;
        Step(step, [&] { bound = static_cast<Int>(std::invoke(last)); });
        return CountedLoop<Int>(first, bound);
    }

  private:
    // A failure is reported on `line`, the line of this step, whatever steps nested in it ran.
    template <class F>
    bool Run(int line, F&& body) {
        std::string description;
        try {
            std::invoke(std::forward<F>(body));
            return true;
        } catch (...) {
            description = DescribeCurrentException();
        }
        // Shown outside the handler block: the report may run a modal loop of its own.
        Report(description, line);
        return false;
    }

    void Report(std::string_view description, int line);

    ErrorReport& report_;
    std::string location_;
};

}  // namespace kestrelmoor
