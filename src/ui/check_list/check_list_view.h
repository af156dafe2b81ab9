// SPDX-License-Identifier: MIT
// A report-style list with a check box per row, over a CheckListModel.
#pragma once

#include <QTreeView>

#include "ui/check_list/check_list_model.h"

namespace kestrelmoor::ui {

class CheckListView : public QTreeView {
  public:
    explicit CheckListView(QWidget* parent);

    CheckListModel& Model() { return model_; }
    const CheckListModel& Model() const { return model_; }

    // Brings the last row into view, once it has reached the view (see CheckListModel), and makes it
    // the current row: the focus comes back to the row shown.
    void ScrollToLastSoon();

  protected:
    // The focus shows also when no row is current (an empty list, or one not yet visited): as a frame
    // around the rows.
    void paintEvent(QPaintEvent* event) override;
    // Focus that comes by the keyboard lands on a row in view: the current row when it is shown, else
    // the first row shown.
    void focusInEvent(QFocusEvent* event) override;
    // Home and End bring their row into view also when it is the current row already.
    void keyPressEvent(QKeyEvent* event) override;
    // A screen reader hears of a new current row only while the list has the focus: Qt 6.4's tree view
    // announces it as focused regardless, and a row announced while a button keeps the keys would be
    // ticked by nothing the user then presses.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    void ScrollToLastPublished();

    CheckListModel model_;
    bool scroll_pending_ = false;
};

}  // namespace kestrelmoor::ui
