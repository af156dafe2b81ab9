// SPDX-License-Identifier: MIT
// The rows of a list view with a check box each, under column headers that the window adds when it
// loads (before that the list has no column). Texts are kept as UTF-8 and turned into display text only
// for the rows on screen, so a list of a million addresses costs about as much as the addresses.
//
// Rows appended in a burst reach the views a few times a second rather than one by one: each time the
// views learn of new rows they lay out the whole list again, and that would cost more than finding the
// addresses. Count, Text and Checked always cover every row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractTableModel>
#include <QStringList>
#include <QTimer>

namespace kestrelmoor::ui {

class CheckListModel : public QAbstractTableModel {
  public:
    explicit CheckListModel(QObject* parent = nullptr);

    void AddColumn(const QString& header);

    // Rows are numbered from 1 here, as the handlers count them; a row that is not there throws
    // std::out_of_range.
    std::int64_t Count() const { return static_cast<std::int64_t>(texts_.size()); }
    const std::string& Text(std::int64_t row) const;
    bool Checked(std::int64_t row) const;
    void SetChecked(std::int64_t row, bool checked);
    void Append(std::string_view text, bool checked);
    void Clear();
    // Changes whenever rows are removed, so that work that reads the list by row number across a
    // yield can tell that its rows are gone.
    std::uint64_t Generation() const { return generation_; }
    // Shows the views every row appended so far, now.
    void Publish();
    // The tool tip of row `row` (from 1), asked when a view shows it; none by default.
    void SetToolTips(std::function<QString(std::int64_t row)> tool_tip) { tool_tip_ = std::move(tool_tip); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::size_t At(std::int64_t row) const;

    QStringList headers_;
    std::vector<std::string> texts_;
    std::vector<bool> checked_;
    std::uint64_t generation_ = 0;
    int published_ = 0;  // the rows the views know of
    QTimer publish_timer_;
    std::function<QString(std::int64_t row)> tool_tip_;
};

}  // namespace kestrelmoor::ui
