// SPDX-License-Identifier: MIT
#include "core/extraction_run.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "common/scoped_flag.h"
#include "core/far_server_judge.h"
#include "core/reading_connection.h"
#include "core/table_scan.h"
#include "core/table_taker.h"
#include "core/tables_ahead.h"
#include "db/address_columns.h"
#include "db/row_estimates.h"

namespace kestrelmoor {
namespace {

using Step = StartExtractingStep;

// The connection is created by a step that may fail; every later step that uses it then fails on the
// missing object, with the report users have always seen.
template <class T>
T& Require(const std::unique_ptr<T>& object) {
    if (!object) throw std::runtime_error("Object required");
    return *object;
}

// Every report also reaches the observer, whose answer may end the run. The run's trap reports only its
// own steps, so each line is a Step's. After a stop nothing is reported: the table being read was given
// up on purpose, and the failure that may cause (a wait cut short) is no fault.
class ObservedReport final : public ErrorReport {
  public:
    ObservedReport(ErrorReport& report, RunObserver& observer, bool& stop)
        : report_(report), observer_(observer), stop_(stop) {}
    void ShowErrorReport(const std::string& text) override { report_.ShowErrorReport(text); }
    void ReportFailure(std::string_view description, std::string_view location, int line) override {
        if (stop_) return;
        report_.ReportFailure(description, location, line);
        if (observer_.FailureReported(description, Step{line}) == RunControl::Stop) stop_ = true;
    }

  private:
    ErrorReport& report_;
    RunObserver& observer_;
    bool& stop_;
};

// Tells the observer every address met until the run stops, when it follows them all: a call per
// address, so only then.
template <class PlaceOf>
TableScan::SeenFn EveryAddressTo(RunObserver& observer, Trap& trap, const PlaceOf& place, const bool& stop) {
    if (!observer.FollowsEveryAddress()) return {};
    return
        [&observer, &trap, &place, &stop](std::uint32_t number, std::string_view column, std::int64_t row) {
            if (stop) return;
            trap.Step(Step::Address, [&] { observer.AddressSeen(number, place(column, row)); });
        };
}

constexpr int kConnectTimeoutSeconds = db::kDefaultConnectTimeoutSeconds;
constexpr ReadingTimes kTimes{ExtractionRun::kReadTimeoutSeconds, kConnectTimeoutSeconds, false};
// Rows between two looks at the window and the observer, while rows arrive without a wait; the window
// itself handles its events only when a few milliseconds have passed.
constexpr std::int64_t kRowsBetweenBreaths = 256;

}  // namespace

bool ExtractionRun::Start(const db::Login& login, const TableList& tables, RunObserver& observer) {
    if (running_) return false;
    ScopedFlag mark(running_);
    Run(login, tables, observer);
    return true;
}

void ExtractionRun::Run(const db::Login& login, const TableList& tables, RunObserver& observer) {
    bool stop = false;  // an observer said stop: nothing more is told, no further row is read
    ObservedReport report(report_, observer, stop);
    Trap trap(report, kStartExtractingLocation);
    std::unique_ptr<db::Connection> connection;
    std::unique_ptr<SeenAddresses> seen;
    std::string database;  // the current table's own, empty for the login's
    std::string table;
    std::int64_t rows = 0;
    KnownCatalogue known;  // the estimates read at the first checked table, the columns once far
    const auto place = [&](std::string_view column, std::int64_t row) {
        return Place{database.empty() ? std::string_view(login.database) : database, table, column, row};
    };
    // Lets the window breathe and tells how far the table has got; an observer may answer stop there
    // (asked for while the window's events ran), which gives up a wait for the server at once.
    const auto breathe = [&] {
        trap.Step(Step::Progress, [&] {
            if (observer.RowsArrived(rows) == RunControl::Stop) stop = true;
        });
        if (yield_) yield_();
    };
    // The rest of a row is still searched after a stop (its addresses already entered in the seen set),
    // but none of them is told.
    TableScan scan(
        [&](std::string_view address, std::string_view column, std::int64_t row) {
            if (stop) return;
            trap.Step(Step::Address,
                      [&] { stop = observer.AddressFound(address, place(column, row)) == RunControl::Stop; });
        },
        EveryAddressTo(observer, trap, place, stop), breathe);

    trap.Step(Step::CreateConnection, [&] { connection = database_.CreateConnection(); });
    trap.Step(Step::ReadTimeout, [&] { Require(connection).SetReadTimeout(kReadTimeoutSeconds); });
    trap.Step(Step::ConnectTimeout, [&] { Require(connection).SetConnectTimeout(kConnectTimeoutSeconds); });
    if (connection) {
        connection->SetWaitHook(breathe);
        connection->SetGiveUp([&stop] { return stop; });
    }
    trap.Step(Step::Login, [&] { Require(connection).Open(login); });
    trap.Step(Step::SeenSet, [&] { seen = std::make_unique<SeenAddresses>(); });
    trap.Step(Step::RunStarted, [&] { observer.RunStarted(); });

    FarServerJudge judge(now_);
    // The login's round trips tell a server far away before its first table.
    if (connection && connection->IsOpen()) {
        try {
            for (int i = 0; i < FarServerJudge::kAnswersToJudge; ++i) {
                if (!judge.RoundTrip([&] { return connection->Ping(); })) break;
            }
        } catch (const db::DatabaseError&) {
            // The first table meets the same failure, and reports it.
        }
    }
    // A connection that the server lost is opened again once before the next table; only when that
    // fails do the later tables fail on it.
    bool opened_again = false;  // in vain: no further try
    const auto open_again_if_lost = [&] {
        if (!connection || !connection->Lost() || opened_again) return;
        try {
            ReadingTimes times = kTimes;
            times.far_away = judge.FarAway();
            connection = OpenReadingConnection(database_, login, times, breathe, [&stop] { return stop; });
        } catch (...) {
            opened_again = true;
        }
    };

    // With a server far away, the tables are read ahead (on several connections when the run may use
    // them; on its own one, small tables in batches, when it may not) and taken here in list order;
    // see TablesAhead.
    std::int64_t last_row = 0;
    TablesAhead ahead(tables, last_row, connections_);
    TableTaker taker(observer, trap, stop);
    const auto read_ahead_when_far = [&](std::int64_t row) {
        if (ahead.Started() || !judge.FarAway()) return;
        if (!connection || !connection->IsOpen() || connection->Lost()) return;
        ahead.Start(database_, login, *connection, kTimes, row, known);
    };

    const auto count = [&] { return last_row = tables.Count(); };
    for (std::int64_t i : trap.Loop(Step::CountTables, std::int64_t{1}, count)) {
        breathe();
        if (stop) break;
        if (!trap.Test(Step::Checked, [&] { return tables.Checked(i); })) continue;
        read_ahead_when_far(i - 1);
        rows = 0;
        scan.Begin(seen.get());
        bool stopped = false;
        const bool complete = trap.Step(Step::Table, [&] {
            table = tables.Name(i);
            database = tables.Database(i);
            observer.TableStarted(database, table);
            if (ahead.Started()) {
                ahead.Reach(i, database, table);
                taker.Take(ahead, scan, rows, breathe);
                stopped = stop;
                return;
            }
            open_again_if_lost();
            db::Connection& session = Require(connection);
            // The server's estimates are read for the login's database, which the window reads.
            if (database.empty()) {
                if (!known.estimates) known.estimates = db::ReadRowEstimates(session);
                if (const auto estimate = known.estimates->find(table); estimate != known.estimates->end()) {
                    observer.TableEstimated(estimate->second);
                }
            }
            // A server far away sends only what can hold an address, as it does to the connections
            // that read ahead.
            const db::AddressColumns* columns = nullptr;
            if (judge.FarAway() && database.empty()) {
                if (!known.address_columns) known.address_columns = db::ReadAddressColumns(session);
                columns = &*known.address_columns;
            }
            const db::ReadingPlan plan = db::PlanReading(database, table, columns);
            // Each row is searched as it arrives; the addresses it holds are listed at once.
            judge.Asked();
            try {
                session.ReadRows(plan.statement, [&](const db::RowView& row) {
                    judge.Answered();
                    if (plan.counts_only) {
                        rows = db::RowCountIn(row);
                        return true;
                    }
                    trap.Step(Step::Row, [&] { scan.Search(row, ++rows); });
                    if (rows % kRowsBetweenBreaths == 0) breathe();
                    stopped = stop;
                    return !stopped;
                });
            } catch (...) {
                judge.Ended(false);
                throw;
            }
            judge.Ended(true);
        });
        trap.Step(Step::Row, [&] { scan.Finish(); });
        trap.Step(Step::Progress, [&] { observer.TableEnded(rows, complete && !stopped); });
        read_ahead_when_far(i);
    }
    if (const std::optional<int> refusal = ahead.Stop(); refusal && !stop) {
        trap.Step(Step::Progress, [&] { observer.ConnectionsRefused(*refusal); });
    }
    if (connection) connection->SetWaitHook(breathe);
    seen.reset();
    // A test that fails goes on inside, so a missing connection is reported twice on this line.
    if (trap.Test(Step::Close, [&] { return Require(connection).IsOpen(); })) {
        trap.Step(Step::Close, [&] { Require(connection).Close(); });
    }
}

}  // namespace kestrelmoor
