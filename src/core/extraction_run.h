// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

#include "common/error_report.h"
#include "core/far_server_judge.h"
#include "core/run_observer.h"
#include "core/table_list.h"
#include "db/database.h"

namespace kestrelmoor {

// "Start Extracting": reads every row of every checked table, joins each row's field values with one
// space after each, and tells the observer every address not met before in this run. Its steps are
// StartExtractingStep's; after a step's report the run goes on with the next step.
class ExtractionRun {
  public:
    // `yield` lets pending window events run; the run calls it at least every few dozen milliseconds,
    // while it waits for the server and while it works.
    ExtractionRun(db::Database& database, ErrorReport& report, std::function<void()> yield = {})
        : database_(database), report_(report), yield_(std::move(yield)) {}
    // The clock the run judges the server's distance by (tests set their own).
    void SetClock(FarServerJudge::Now now) { now_ = std::move(now); }

    // Runs to the end with the login as it stands now. Returns false, doing nothing, while a run of
    // this object is already in progress (a click during one of its yields).
    bool Start(const db::Login& login, const TableList& tables, RunObserver& observer);
    bool Running() const { return running_; }

    // Tables read at the same time, each over a connection of its own with the same login, once the
    // server looks far away (FarServerJudge); the result, its order and the reports stay those of one
    // connection. A server that refuses more connections leaves the run with those it holds; a
    // connection lost costs the table it was reading, and is opened again once.
    void SetConnections(int connections) { connections_ = connections; }
    static constexpr int kDefaultConnections = 4;
    static constexpr int kMostConnections = 64;

    // Seconds without a byte from the server, in the middle of a query or its rows, after which the
    // server is given up.
    static constexpr int kReadTimeoutSeconds = 600;

  private:
    void Run(const db::Login& login, const TableList& tables, RunObserver& observer);

    db::Database& database_;
    ErrorReport& report_;
    std::function<void()> yield_;
    bool running_ = false;
    int connections_ = kDefaultConnections;
    FarServerJudge::Now now_ = &FarServerJudge::Clock::now;
};

}  // namespace kestrelmoor
