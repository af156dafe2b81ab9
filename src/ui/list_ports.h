// The extraction run and the table catalogue see the window's lists and progress bar only through
// these adapters.
#pragma once

#include <QProgressBar>

#include "core/extraction_ports.h"
#include "db/table_catalogue.h"
#include "export/list_source.h"
#include "ui/check_list_view.h"

namespace kestrelmoor::ui {

class TableListPort : public TableList, public db::TableListSink {
  public:
    explicit TableListPort(CheckListModel& model) : model_(model) {}
    std::int64_t Count() const override { return model_.Count(); }
    bool Checked(std::int64_t row) const override { return model_.Checked(row); }
    std::string Text(std::int64_t row) const override { return model_.Text(row); }
    void AppendChecked(std::string_view name) override { model_.Append(name, true); }

  private:
    CheckListModel& model_;
};

class ResultListPort : public ResultSink {
  public:
    explicit ResultListPort(CheckListView& view) : view_(view) {}
    void Clear() override { view_.Model().Clear(); }
    void Append(std::string_view address) override { view_.Model().Append(address, false); }
    void CheckLast() override { view_.Model().SetChecked(view_.Model().Count(), true); }
    void ScrollToLast() override { view_.ScrollToLastSoon(); }

  private:
    CheckListView& view_;
};

// The exports read a list's rows as text cells; these lists have only the row's own text.
class ListSourcePort : public ListSource {
  public:
    explicit ListSourcePort(const CheckListModel& model) : model_(model) {}
    std::int64_t RowCount() const override { return model_.Count(); }
    int ColumnCount() const override { return model_.columnCount(); }
    std::string Cell(std::int64_t row, int column) const override {
        return column == 1 ? model_.Text(row) : std::string();
    }
    bool Checked(std::int64_t row) const override { return model_.Checked(row); }

  private:
    const CheckListModel& model_;
};

class ProgressBarPort : public Progress {
  public:
    explicit ProgressBarPort(QProgressBar& bar) : bar_(bar) {}
    void SetValue(double percent) override;

  private:
    QProgressBar& bar_;
};

}  // namespace kestrelmoor::ui
