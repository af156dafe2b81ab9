// SPDX-License-Identifier: MIT
#include "core/table_taker.h"

#include <stdexcept>

#include "common/error_locations.h"
#include "db/database.h"

namespace kestrelmoor {
namespace {

using Step = StartExtractingStep;

}  // namespace

void TableTaker::Take(TablesAhead& ahead, TableScan& scan, std::int64_t& rows,
                      const std::function<void()>& breathe) {
    bool estimated = false;
    for (;;) {
        TableNews news = ahead.Take(kWaitMs);
        // Never for a table the run reached: the reading ahead lost track of it.
        if (news.gone) throw std::logic_error("The table read ahead is no longer there");
        if (news.begun && !estimated) {
            estimated = true;
            if (news.estimate) observer_.TableEstimated(*news.estimate);
        }
        if (!news.columns.empty()) scan.SetColumns(std::move(news.columns));
        for (const FoundAddresses& part : news.found) Enter(scan, part);
        if (stop_) return;
        rows = news.rows;
        TellRefusal(ahead);
        if (stop_) return;
        if (news.ended) {
            if (news.failure) throw db::DatabaseError(*news.failure);
            return;
        }
        breathe();
    }
}

// Each row's addresses in one step, as a row read here is searched in one: a failure skips the rest of
// its row.
void TableTaker::Enter(TableScan& scan, const FoundAddresses& found) {
    std::int64_t failed_row = 0;
    found.ForEach([&](std::string_view address, std::uint32_t column, std::int64_t row) {
        if (stop_ || row == failed_row) return;
        if (!trap_.Step(Step::Row, [&] { scan.Enter(address, column, row); })) failed_row = row;
    });
}

void TableTaker::TellRefusal(TablesAhead& ahead) {
    if (const std::optional<int> connections = ahead.TakeRefusal()) {
        trap_.Step(Step::Progress, [&] { observer_.ConnectionsRefused(*connections); });
    }
}

}  // namespace kestrelmoor
