// SPDX-License-Identifier: MIT
#include "ui/check_list_view.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionFocusRect>

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

void CheckListView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!hasFocus() || currentIndex().isValid()) return;
    QPainter painter(viewport());
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.state |= QStyle::State_KeyboardFocusChange;  // shown however the focus came
    option.rect = viewport()->rect().adjusted(1, 1, -1, -1);
    option.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
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
