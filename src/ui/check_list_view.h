// A report-style list with a check box per row, over a CheckListModel.
#pragma once

#include <QTreeView>

#include "ui/check_list_model.h"

namespace kestrelmoor::ui {

class CheckListView : public QTreeView {
  public:
    explicit CheckListView(QWidget* parent);

    CheckListModel& Model() { return model_; }
    const CheckListModel& Model() const { return model_; }

    // Brings the last row into view once pending events run. An extraction may add hundreds of
    // thousands of rows in a burst; laying the list out again for each of them would cost more than
    // the extraction itself, and only the last scroll can be seen anyway.
    void ScrollToLastSoon();

  private:
    CheckListModel model_;
    bool scroll_pending_ = false;
};

}  // namespace kestrelmoor::ui
