#pragma once

#include "common/error_report.h"
#include "core/extract_new_addresses.h"
#include "core/extraction_ports.h"
#include "db/connection_profile.h"
#include "db/database.h"

namespace kestrelmoor {

// "Start Extracting": reads every row of every checked table, joins each row's field values with one
// space after each, and lists every address not met before in this run. Each step carries the line
// number that its error report names; after a report the run goes on with the next step.
class ExtractionRun {
  public:
    // `yield` lets pending window events run; it is called once per candidate token and once per row.
    ExtractionRun(db::Database& database, ErrorReport& report, YieldFn yield)
        : database_(database), report_(report), yield_(std::move(yield)) {}

    // Runs to the end with the login as it stands now. Returns false, doing nothing, while a run of
    // this object is already in progress (a click during one of its yields).
    bool Start(const db::ConnectionProfile& profile, const TableList& tables, ResultSink& results,
               Progress& progress);
    bool Running() const { return running_; }

  private:
    void Run(const db::ConnectionProfile& profile, const TableList& tables, ResultSink& results,
             Progress& progress);

    db::Database& database_;
    ErrorReport& report_;
    YieldFn yield_;
    bool running_ = false;
};

}  // namespace kestrelmoor
