// SPDX-License-Identifier: MIT
#include "ui/check_list_view.h"

#include <QHeaderView>

namespace kestrelmoor::ui {

CheckListView::CheckListView(QWidget* parent) : QTreeView(parent), model_(this) {
    setModel(&model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    connect(&model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (scroll_pending_) ScrollToLastPublished();
    });
}

void CheckListView::ScrollToLastSoon() {
    if (model_.rowCount() == model_.Count()) {
        ScrollToLastPublished();
    } else {
        scroll_pending_ = true;  // done when the new rows reach the view
    }
}

void CheckListView::ScrollToLastPublished() {
    scroll_pending_ = false;
    const int rows = model_.rowCount();
    if (rows > 0) scrollTo(model_.index(rows - 1, 0));
}

}  // namespace kestrelmoor::ui
