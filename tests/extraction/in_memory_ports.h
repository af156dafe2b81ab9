// The run's window-side ports held in plain containers, so that what the run did can be read back.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/error_report.h"
#include "core/extraction_ports.h"
#include "db/table_catalogue.h"
#include "support/report_lines.h"

namespace kestrelmoor::test {

struct TableRow {
    std::string name;
    bool checked = true;
};

class InMemoryTables : public TableList, public db::TableListSink {
  public:
    std::vector<TableRow> rows;

    std::int64_t Count() const override { return static_cast<std::int64_t>(rows.size()); }
    bool Checked(std::int64_t row) const override {
        return rows.at(static_cast<std::size_t>(row - 1)).checked;
    }
    std::string Text(std::int64_t row) const override {
        return rows.at(static_cast<std::size_t>(row - 1)).name;
    }
    void AppendChecked(std::string_view name) override { rows.push_back({std::string(name), true}); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TableRow& row : rows) names.push_back(row.name);
        return names;
    }
};

class InMemoryResults : public ResultSink {
  public:
    std::vector<std::pair<std::string, bool>> rows;  // text, checked
    int scrolled_to_last = 0;

    void Clear() override { rows.clear(); }
    void Append(std::string_view address) override { rows.emplace_back(std::string(address), false); }
    void CheckLast() override { rows.back().second = true; }
    void ScrollToLast() override { ++scrolled_to_last; }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& row : rows) texts.push_back(row.first);
        return texts;
    }
};

class InMemoryProgress : public Progress {
  public:
    std::vector<double> values;
    void SetValue(double percent) override { values.push_back(percent); }
};

// Keeps each report's text and the line it names.
class RecordedReports : public ErrorReport {
  public:
    std::vector<std::string> texts;
    void ShowErrorReport(const std::string& text) override { texts.push_back(text); }

    std::vector<int> Lines() const { return ReportLines(texts); }
};

}  // namespace kestrelmoor::test
