#include "core/extraction_run.h"

#include <memory>
#include <stdexcept>
#include <vector>

#include "common/error_locations.h"
#include "common/error_trap.h"
#include "core/row_scan.h"
#include "db/sql_identifier.h"

namespace kestrelmoor {
namespace {

// The database objects are created by steps that may fail; later steps then fail on the missing object.
template <class T>
T& Require(const std::unique_ptr<T>& object) {
    if (!object) throw std::runtime_error("Object required");
    return *object;
}

// Clears the running mark however the run ends.
class RunningMark {
  public:
    explicit RunningMark(bool& running) : running_(running) { running_ = true; }
    ~RunningMark() { running_ = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

  private:
    bool& running_;
};

constexpr int kCommandTimeoutSeconds = 5000;
constexpr int kConnectionTimeoutSeconds = 5000;
constexpr int kClientSideCursor = 3;

}  // namespace

bool ExtractionRun::Start(const db::ConnectionProfile& profile, const TableList& tables, ResultSink& results,
                          Progress& progress) {
    if (running_) return false;
    RunningMark mark(running_);
    Run(profile, tables, results, progress);
    return true;
}

void ExtractionRun::Run(const db::ConnectionProfile& profile, const TableList& tables, ResultSink& results,
                        Progress& progress) {
    Trap trap(report_, kLocationForm2PushButton4Click);
    std::unique_ptr<db::Connection> connection;
    std::unique_ptr<db::RecordSet> records;
    std::unique_ptr<SeenAddresses> seen;
    std::vector<std::string> row_results;
    // Each row is searched as it arrives, while the server still sends the rest of the table.
    RowScan scan;
    const AddressSink collect_row_result = [&](std::string_view address) {
        row_results.emplace_back(address);
    };

    trap.step(100, [&] { connection = database_.CreateConnection(); });
    trap.step(102, [&] { records = database_.CreateRecordSet(); });
    trap.step(104, [&] { Require(connection).SetCommandTimeout(kCommandTimeoutSeconds); });
    trap.step(106, [&] { Require(connection).SetConnectionTimeout(kConnectionTimeoutSeconds); });
    trap.step(108, [&] { Require(connection).SetCursorLocation(kClientSideCursor); });
    // Not a step of its own: the window keeps processing events while the server sends a big table.
    if (connection && yield_) connection->SetWaitHook(yield_);
    trap.step(110, [&] { Require(connection).Open(db::BuildConnectionString(profile)); });
    trap.step(112, [&] { row_results.clear(); });
    trap.step(114, [&] { seen = std::make_unique<SeenAddresses>(); });
    // Line 116 chose exact comparison for the set, the only mode it has.
    trap.step(118, [&] { results.Clear(); });

    for (std::int64_t table : trap.loop(120, std::int64_t{1}, [&] { return tables.Count(); })) {
        if (!trap.test(122, [&] { return tables.Checked(table); })) continue;
        // A table whose query fails is wound up after its one report: nothing of an earlier table's
        // result may be read as if it were this table's.
        scan.Begin(seen.get());
        const bool opened = trap.step(124, [&] {
            Require(records).Open("SELECT * FROM " + db::QuoteIdentifier(tables.Text(table)),
                                  Require(connection), &scan);
        });
        if (!opened) {
            scan.Abandon();
            continue;
        }
        if (trap.test(126, [&] { return !records->Eof(); })) {
            std::int64_t last_row = -1;
            trap.step(134, [&] { last_row = records->RecordCount() - 1; });
            for (std::int64_t row : trap.loop(136, std::int64_t{0}, [&] { return last_row; })) {
                trap.step(138, [&] {
                    progress.SetValue((static_cast<double>(row) + 1) / (static_cast<double>(last_row) + 1) *
                                      100);
                });
                // The row's values are not joined into one text here: the scan searched them value by
                // value as the row arrived, which finds the same tokens.
                // Addresses are collected as they are entered in the seen set, so that a recognizer
                // that fails part-way still lists what it had found: they would never be found again.
                row_results.clear();
                trap.step(148, [&] { scan.Deliver(row, collect_row_result, yield_); });
                for (const std::string& address : row_results) {
                    trap.step(152, [&] { results.Append(address); });
                    trap.step(154, [&] { results.CheckLast(); });
                    trap.step(156, [&] { results.ScrollToLast(); });
                }
                trap.step(160, [&] { records->MoveNext(); });
                // A table whose rows hold no candidate would otherwise never let the window breathe.
                if (yield_) yield_();
            }
        }
        if (trap.test(164, [&] { return records->State() != 0; })) trap.step([&] { records->Close(); });
    }
    trap.step(168, [&] { seen.reset(); });
    if (trap.test(170, [&] { return Require(connection).State() != 0; })) {
        trap.step([&] { Require(connection).Close(); });
    }
}

}  // namespace kestrelmoor
