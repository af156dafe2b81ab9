// SPDX-License-Identifier: MIT
#include "core/table_taker.h"

#include <limits>
#include <stdexcept>

#include "common/ascii.h"
#include "common/error_locations.h"
#include "db/database.h"

namespace kestrelmoor {
namespace {

using Step = StartExtractingStep;
constexpr std::uint32_t kNotEntered = std::numeric_limits<std::uint32_t>::max();

}  // namespace

void TableTaker::Take(TablesAhead& ahead, SeenAddresses* seen, std::int64_t& rows,
                      const std::function<void()>& breathe) {
    columns_.clear();
    numbers_.clear();
    after_failure_.clear();
    places_.clear();
    bool estimated = false;
    for (;;) {
        TableNews news = ahead.Take(kWaitMs);
        if (news.begun && !estimated) {
            estimated = true;
            if (news.estimate) observer_.TableEstimated(*news.estimate);
        }
        if (!news.columns.empty()) columns_ = std::move(news.columns);
        for (const FoundAddress& found : news.found) {
            if (stop_) return;
            trap_.Step(Step::Row, [&] { Enter(seen, found); });
        }
        rows = news.rows;
        TellRefusal(ahead);
        if (stop_) return;
        if (news.ended) {
            after_failure_ = std::move(news.found_after_failure);
            places_ = std::move(news.places);
            if (news.failure) throw db::DatabaseError(*news.failure);
            return;
        }
        breathe();
    }
}

void TableTaker::Finish(SeenAddresses* seen) {
    for (const FoundAddress& found : after_failure_) {
        if (stop_) return;
        trap_.Step(Step::Row, [&] { Enter(seen, found); });
    }
    for (const PlaceCount& place : places_) {
        if (stop_) return;
        const std::uint32_t number = numbers_.at(place.address);
        if (number == kNotEntered) continue;
        trap_.Step(Step::Address, [&] {
            observer_.AddressSeenInRows(number, place_(columns_.at(place.column), place.first_row),
                                        place.rows);
        });
    }
}

// An address the run has not met before is told as found; the run's seen set keeps it lower-cased.
void TableTaker::Enter(SeenAddresses* seen, const FoundAddress& found) {
    numbers_.push_back(kNotEntered);
    if (!seen) throw std::runtime_error("Object required");
    const std::string lowered = AsciiLowered(found.text);
    const SeenAddresses::Entered entered = seen->Enter(lowered, SeenAddresses::HashOf(lowered));
    numbers_.back() = entered.number;
    if (!entered.added || stop_) return;
    trap_.Step(Step::Address, [&] {
        stop_ = observer_.AddressFound(found.text, place_(columns_.at(found.column), found.row)) ==
                RunControl::Stop;
    });
}

void TableTaker::TellRefusal(TablesAhead& ahead) {
    if (const std::optional<int> connections = ahead.TakeRefusal()) {
        trap_.Step(Step::Progress, [&] { observer_.ConnectionsRefused(*connections); });
    }
}

}  // namespace kestrelmoor
