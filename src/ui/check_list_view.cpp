#include "ui/check_list_view.h"

#include <QHeaderView>
#include <QTimer>

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
}

void CheckListView::ScrollToLastSoon() {
    if (scroll_pending_) return;
    scroll_pending_ = true;
    QTimer::singleShot(0, this, [this] {
        scroll_pending_ = false;
        const int rows = model_.rowCount();
        if (rows > 0) scrollTo(model_.index(rows - 1, 0));
    });
}

}  // namespace kestrelmoor::ui
