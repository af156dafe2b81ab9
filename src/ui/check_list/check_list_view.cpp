// SPDX-License-Identifier: MIT
#include "ui/check_list/check_list_view.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <QTimer>

#include "ui/check_list/check_list_accessible.h"
#include "ui/desktop/focus_mark.h"

namespace kestrelmoor::ui {
namespace {

// Rows a little taller than their text, so that the focus ring inside a row leaves the text whole.
class RoomForFocusDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 2 * kFocusMarkWidth);
    }
};

}  // namespace

CheckListView::CheckListView(QWidget* parent) : QTreeView(parent), model_(this) {
    PresentRowsAsCheckBoxes(*this);
    setModel(&model_);
    setItemDelegate(new RoomForFocusDelegate(this));
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
    connect(&model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& top_left, const QModelIndex& bottom_right, const QList<int>& roles) {
                if (roles.contains(Qt::CheckStateRole))
                    AnnounceTicks(*this, top_left.row(), bottom_right.row());
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

void CheckListView::focusInEvent(QFocusEvent* event) {
    const bool by_keyboard = event->reason() == Qt::TabFocusReason ||
                             event->reason() == Qt::BacktabFocusReason ||
                             event->reason() == Qt::ShortcutFocusReason;
    if (by_keyboard && model_.rowCount() > 0) {
        const QModelIndex current = currentIndex();
        if (!current.isValid() || !viewport()->rect().intersects(visualRect(current))) {
            const QModelIndex shown = indexAt(QPoint(0, 0));
            selectionModel()->setCurrentIndex(shown.isValid() ? shown : model_.index(0, 0),
                                              QItemSelectionModel::NoUpdate);
        }
    }
    QTreeView::focusInEvent(event);
    // The focus that arrives is told as the list's; the row it lands on is told after that, so that a
    // screen reader says the row last (a row made current just now has been told already).
    if (currentIndex().isValid()) {
        QTimer::singleShot(0, this, [this] {
            if (hasFocus()) AnnounceCurrentRow(*this);
        });
    }
}

void CheckListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus()) {
        QTreeView::currentChanged(current, previous);
        return;
    }
    QAbstractItemView::currentChanged(current, previous);
    for (const QModelIndex& index : {previous, current}) {
        if (!index.isValid()) continue;
        QRect row = visualRect(index);
        row.setLeft(0);
        row.setWidth(viewport()->width());
        viewport()->update(row);
    }
}

void CheckListView::keyPressEvent(QKeyEvent* event) {
    QTreeView::keyPressEvent(event);
    if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End) && currentIndex().isValid()) {
        scrollTo(currentIndex());
    }
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
    if (rows == 0) return;
    const QModelIndex last = model_.index(rows - 1, 0);
    selectionModel()->setCurrentIndex(last, QItemSelectionModel::NoUpdate);
    scrollTo(last);
}

}  // namespace kestrelmoor::ui
