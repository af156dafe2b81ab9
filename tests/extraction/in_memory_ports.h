// SPDX-License-Identifier: MIT
// The run's window-side ports held in plain containers, so that what the run did can be read back.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/error_report.h"
#include "core/run_observer.h"
#include "core/table_list.h"
#include "db/table_catalogue.h"
#include "support/report_lines.h"

namespace kestrelmoor::test {

struct TableRow {
    std::string name;
    bool checked = true;
    std::string database;  // empty: the login's
};

class InMemoryTables : public TableList, public db::TableListSink {
  public:
    std::vector<TableRow> rows;

    std::int64_t Count() const override { return static_cast<std::int64_t>(rows.size()); }
    bool Checked(std::int64_t row) const override {
        return rows.at(static_cast<std::size_t>(row - 1)).checked;
    }
    std::string Name(std::int64_t row) const override {
        return rows.at(static_cast<std::size_t>(row - 1)).name;
    }
    std::string Database(std::int64_t row) const override {
        return rows.at(static_cast<std::size_t>(row - 1)).database;
    }
    void AppendChecked(std::string_view name) override { rows.push_back({std::string(name), true, {}}); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TableRow& row : rows) names.push_back(row.name);
        return names;
    }
};

// The result list and the run's other events, as the window would show them.
class InMemoryResults : public RunObserver {
  public:
    std::vector<std::pair<std::string, bool>> rows;  // text, checked
    std::vector<std::string> places;                 // "table.column:row" of each row
    std::vector<std::string> events;                 // tables started and ended, failures

    void RunStarted() override { rows.clear(); }
    void TableStarted(std::string_view database, std::string_view table) override {
        events.push_back("start " + (database.empty() ? "" : std::string(database) + ".") +
                         std::string(table));
    }
    RunControl AddressFound(std::string_view address, const Place& place) override {
        rows.emplace_back(std::string(address), true);
        places.push_back(std::string(place.table) + "." + std::string(place.column) + ":" +
                         std::to_string(place.row));
        return RunControl::Continue;
    }
    void TableEnded(std::int64_t rows_read, bool complete) override {
        events.push_back("end " + std::to_string(rows_read) + (complete ? "" : " cut"));
    }
    RunControl FailureReported(std::string_view, StartExtractingStep step) override {
        events.push_back("failed " + std::to_string(LineOf(step)));
        return RunControl::Continue;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& row : rows) texts.push_back(row.first);
        return texts;
    }
};

// Keeps each report's text and the line it names.
class RecordedReports : public ErrorReport {
  public:
    std::vector<std::string> texts;
    void ShowErrorReport(const std::string& text) override { texts.push_back(text); }

    std::vector<int> Lines() const { return ReportLines(texts); }
};

}  // namespace kestrelmoor::test
