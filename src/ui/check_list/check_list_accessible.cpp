// SPDX-License-Identifier: MIT
#include "ui/check_list/check_list_accessible.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHeaderView>
#include <QPointer>

#include "ui/check_list/check_list_view.h"

namespace kestrelmoor::ui {
namespace {

// The view numbers the parts of the list in its focus and selection events as its own presentation
// did: the column header first, then one per row (the lists have one column).
int ChildOfRow(int row) {
    return row + 1;
}

// A part of the list without children of its own: the column header or a row.
class ListPart : public QAccessibleInterface {
  public:
    explicit ListPart(CheckListView* view) : view_(view) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? Parent()->window() : nullptr; }
    QAccessibleInterface* parent() const override { return view_ ? Parent() : nullptr; }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    void setText(QAccessible::Text /*text*/, const QString& /*value*/) override {}

  protected:
    QAccessibleInterface* Parent() const { return QAccessible::queryAccessibleInterface(view_.data()); }
    QRect OnScreen(QRect rect, const QWidget& widget) const {
        return rect.translated(widget.mapToGlobal(QPoint(0, 0)));
    }

    QPointer<CheckListView> view_;
};

class HeaderPart : public ListPart {
  public:
    using ListPart::ListPart;

    bool isValid() const override { return view_ != nullptr; }
    QString text(QAccessible::Text text) const override {
        if (!view_ || text != QAccessible::Name) return {};
        return view_->model()->headerData(0, Qt::Horizontal).toString();
    }
    QRect rect() const override {
        if (!view_) return {};
        const QHeaderView& header = *view_->header();
        return OnScreen(QRect(header.sectionViewportPosition(0), 0, header.sectionSize(0), header.height()),
                        *header.viewport());
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = view_ == nullptr || view_->header()->isHidden();
        return state;
    }
};

// A row: a check box named by its text, toggled and focused like a row of the view.
class RowPart : public ListPart, public QAccessibleActionInterface {
  public:
    RowPart(CheckListView* view, int row)
        : ListPart(view), model_(&view->Model()), row_(row), generation_(model_->Generation()) {}

    // Rows are numbered afresh once any is removed. The model goes before the view it belongs to.
    bool isValid() const override {
        return view_ && model_ && model_->Generation() == generation_ && row_ < model_->rowCount();
    }
    QString text(QAccessible::Text text) const override {
        return isValid() && text == QAccessible::Name ? Index().data(Qt::DisplayRole).toString() : QString();
    }
    QRect rect() const override {
        return isValid() ? OnScreen(view_->visualRect(Index()), *view_->viewport()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) return state;
        const QModelIndex index = Index();
        state.checkable = true;
        state.checked = index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
        state.focusable = true;
        state.selectable = true;
        state.selected = view_->selectionModel()->isSelected(index);
        state.focused = view_->hasFocus() && view_->currentIndex() == index;
        state.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(index));
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {toggleAction(), setFocusAction()}; }
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }
    // As a click on the row's check box and on the row.
    void doAction(const QString& action) override {
        if (!isValid()) return;
        if (action == toggleAction()) {
            model_->setData(Index(), state().checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        } else if (action == setFocusAction()) {
            view_->setFocus(Qt::OtherFocusReason);
            view_->setCurrentIndex(Index());  // with the focus there, the view announces the row
        }
    }

    int Row() const { return row_; }
    const CheckListView* View() const { return view_.data(); }

  private:
    QModelIndex Index() const { return model_->index(row_, 0); }

    QPointer<CheckListModel> model_;
    int row_;
    std::uint64_t generation_;
};

class CheckListAccessible : public QAccessibleWidget {
  public:
    explicit CheckListAccessible(CheckListView* view)
        : QAccessibleWidget(view, QAccessible::List),
          model_(&view->Model()),
          generation_(view->Model().Generation()) {}
    // Called once the view is gone.
    ~CheckListAccessible() override {
        for (const auto& [row, id] : rows_) QAccessible::deleteAccessibleInterface(id);
        if (header_ != 0) QAccessible::deleteAccessibleInterface(header_);
    }

    int childCount() const override { return model_ ? ChildOfRow(model_->rowCount()) : 0; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0 && model_) {
            if (header_ == 0) header_ = QAccessible::registerAccessibleInterface(new HeaderPart(&View()));
            return QAccessible::accessibleInterface(header_);
        }
        return Row(index - 1);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!model_) return -1;
        if (child != nullptr && child == QAccessible::accessibleInterface(header_)) return 0;
        const auto* row = dynamic_cast<const RowPart*>(child);
        return row != nullptr && row->isValid() && row->View() == &View() ? ChildOfRow(row->Row()) : -1;
    }
    // The model goes first when the view goes: without it the view is no longer asked anything.
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!model_) return nullptr;
        const QModelIndex index = View().indexAt(View().viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? Row(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!model_) return nullptr;
        const QModelIndex current = View().currentIndex();
        return View().hasFocus() && current.isValid() ? Row(current.row()) : QAccessibleWidget::focusChild();
    }

    // Rows are made when asked for and kept until the view goes or its rows are numbered afresh.
    QAccessibleInterface* Row(int row) const {
        if (!model_ || row < 0 || row >= model_->rowCount()) return nullptr;
        if (generation_ != model_->Generation()) ForgetRows();
        auto [known, made] = rows_.try_emplace(row, 0);
        if (made) known->second = QAccessible::registerAccessibleInterface(new RowPart(&View(), row));
        return QAccessible::accessibleInterface(known->second);
    }
    QAccessibleInterface* KnownRow(int row) const {
        const auto known = rows_.find(row);
        return known != rows_.end() && model_ && generation_ == model_->Generation()
                   ? QAccessible::accessibleInterface(known->second)
                   : nullptr;
    }

  private:
    CheckListView& View() const { return *static_cast<CheckListView*>(widget()); }
    void ForgetRows() const {
        for (const auto& [row, id] : std::exchange(rows_, {})) QAccessible::deleteAccessibleInterface(id);
        generation_ = model_->Generation();
    }

    QPointer<CheckListModel> model_;
    mutable std::unordered_map<int, QAccessible::Id> rows_;
    mutable std::uint64_t generation_;
    mutable QAccessible::Id header_ = 0;
};

QAccessibleInterface* CheckListFactory(const QString& /*class_name*/, QObject* object) {
    // Also asked while the view is being made, before it is a CheckListView: the cast fails then.
    auto* view = dynamic_cast<CheckListView*>(object);
    return view != nullptr ? new CheckListAccessible(view) : nullptr;
}

}  // namespace

void PresentRowsAsCheckBoxes(CheckListView& view) {
    static const bool installed = [] {
        QAccessible::installFactory(CheckListFactory);
        return true;
    }();
    (void)installed;
    // A screen reader may have asked for the list while it was still a plain tree view.
    if (!QAccessible::isActive()) return;
    QAccessibleInterface* asked = QAccessible::queryAccessibleInterface(&view);
    if (asked != nullptr && dynamic_cast<CheckListAccessible*>(asked) == nullptr) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(asked));
    }
}

void AnnounceTicks(CheckListView& view, int first, int last) {
    if (!QAccessible::isActive()) return;
    const auto* list = dynamic_cast<CheckListAccessible*>(QAccessible::queryAccessibleInterface(&view));
    if (list == nullptr) return;
    std::vector<QAccessibleInterface*> known;
    for (int row = first; row <= last; ++row) {
        if (QAccessibleInterface* part = list->KnownRow(row)) known.push_back(part);
    }
    QAccessible::State ticks;
    ticks.checked = true;
    for (QAccessibleInterface* part : known) {
        QAccessibleStateChangeEvent event(part, ticks);
        QAccessible::updateAccessibility(&event);
    }
}

void AnnounceCurrentRow(CheckListView& view) {
    const QModelIndex current = view.currentIndex();
    if (!QAccessible::isActive() || !current.isValid()) return;
    QAccessibleEvent event(&view, QAccessible::Focus);
    event.setChild(ChildOfRow(current.row()));
    QAccessible::updateAccessibility(&event);
}

}  // namespace kestrelmoor::ui
