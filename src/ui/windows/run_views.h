// SPDX-License-Identifier: MIT
// The extraction window's lists and progress bar as the run and the exports see them.
#pragma once

#include <algorithm>

#include <QProgressBar>

#include "core/place_recorder.h"
#include "core/run_observer.h"
#include "core/table_list.h"
#include "db/table_catalogue.h"
#include "export/list_source.h"
#include "ui/check_list/check_list_view.h"
#include "ui/windows/place_tool_tip.h"

namespace kestrelmoor::ui {

// The table list: what the run reads and where the catalogue puts the names.
class TableListAdapter : public TableList, public db::TableListSink {
  public:
    explicit TableListAdapter(CheckListModel& model) : model_(model) {}
    std::int64_t Count() const override { return model_.Count(); }
    bool Checked(std::int64_t row) const override { return model_.Checked(row); }
    std::string Name(std::int64_t row) const override { return model_.Text(row); }
    void AppendChecked(std::string_view name) override { model_.Append(name, true); }

  private:
    CheckListModel& model_;
};

// The result list: emptied when a run starts, one checked row per address found, the last row
// brought into view; each row's tool tip says where its address was found.
class ResultListObserver : public RunObserver {
  public:
    explicit ResultListObserver(CheckListView& view) : view_(view) {
        view_.Model().SetToolTips([this](std::int64_t row) {
            return PlacesToolTip(places_.PlacesOf(static_cast<std::size_t>(row - 1)));
        });
    }
    void RunStarted() override {
        view_.Model().Clear();
        places_.RunStarted();
    }
    void TableStarted(std::string_view database, std::string_view table) override {
        places_.TableStarted(database, table);
    }
    // The list never stops a run (the user's Stop is StopRequest's).
    RunControl AddressFound(std::string_view address, const Place& place) override {
        view_.Model().Append(address, true);
        view_.ScrollToLastSoon();
        places_.AddressFound(address, place);
        return RunControl::Continue;
    }
    void AddressSeen(std::uint32_t number, const Place& place) override {
        places_.AddressSeen(number, place);
    }
    bool FollowsEveryAddress() const override { return true; }

  private:
    CheckListView& view_;
    PlaceRecorder places_;  // row n's address is the run's address number n - 1
};

// The progress bar: while a table's rows arrive, how far they have got against the server's estimate,
// short of full however far the estimate is off; full once a table with rows has been read to its end.
// A table without rows (or without an estimate, until its end) leaves it as it is, and so does the
// row count the run tells between tables: it is the ended table's, and would pull a full bar back.
class ProgressBarObserver : public RunObserver {
  public:
    explicit ProgressBarObserver(QProgressBar& bar) : bar_(bar) {}
    void TableStarted(std::string_view /*database*/, std::string_view /*table*/) override { estimate_ = 0; }
    void TableEstimated(std::int64_t rows) override { estimate_ = rows; }
    RunControl RowsArrived(std::int64_t rows) override {
        if (rows <= 0 || estimate_ <= 0) return RunControl::Continue;
        const std::int64_t span = bar_.maximum() - bar_.minimum();
        const std::int64_t done = std::min(span - 1, rows * span / std::max(estimate_, rows));
        Show(bar_.minimum() + static_cast<int>(done));
        return RunControl::Continue;
    }
    void TableEnded(std::int64_t rows, bool complete) override {
        estimate_ = 0;
        if (complete && rows > 0) Show(bar_.maximum());
    }

  private:
    void Show(int value) {
        if (bar_.value() != value) bar_.setValue(value);
    }

    QProgressBar& bar_;
    std::int64_t estimate_ = 0;
};

// The user's Stop (the window's Esc and its "Stop" button): asked for between two looks of the run at the
// window, answered at the run's next look, which ends the run. Withdrawn before each new run.
class StopRequest : public RunObserver {
  public:
    void Ask() { asked_ = true; }
    void Withdraw() { asked_ = false; }
    RunControl RowsArrived(std::int64_t /*rows*/) override { return Answer(); }
    RunControl AddressFound(std::string_view /*address*/, const Place& /*place*/) override {
        return Answer();
    }

  private:
    RunControl Answer() const { return asked_ ? RunControl::Stop : RunControl::Continue; }

    bool asked_ = false;
};

// The exports read a list's rows as text cells; these lists have only the row's own text.
class ListSourceAdapter : public ListSource {
  public:
    explicit ListSourceAdapter(const CheckListModel& model) : model_(model) {}
    std::int64_t Count() const override { return model_.Count(); }
    int ColumnCount() const override { return model_.columnCount(); }
    std::string Cell(std::int64_t row, int column) const override {
        return column == 1 ? model_.Text(row) : std::string();
    }
    bool Checked(std::int64_t row) const override { return model_.Checked(row); }

  private:
    const CheckListModel& model_;
};

}  // namespace kestrelmoor::ui
