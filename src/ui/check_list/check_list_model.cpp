// SPDX-License-Identifier: MIT
#include "ui/check_list/check_list_model.h"

#include <limits>
#include <stdexcept>

namespace kestrelmoor::ui {
namespace {

constexpr int kPublishIntervalMs = 100;

}  // namespace

CheckListModel::CheckListModel(QObject* parent) : QAbstractTableModel(parent) {
    publish_timer_.setSingleShot(true);
    publish_timer_.setInterval(kPublishIntervalMs);
    connect(&publish_timer_, &QTimer::timeout, this, &CheckListModel::Publish);
}

void CheckListModel::Publish() {
    publish_timer_.stop();
    const int rows = static_cast<int>(texts_.size());
    if (published_ == rows) return;
    beginInsertRows(QModelIndex(), published_, rows - 1);
    published_ = rows;
    endInsertRows();
}

void CheckListModel::AddColumn(const QString& header) {
    const int column = static_cast<int>(headers_.size());
    beginInsertColumns(QModelIndex(), column, column);
    headers_.push_back(header);
    endInsertColumns();
}

std::size_t CheckListModel::At(std::int64_t row) const {
    if (row < 1 || row > Count()) throw std::out_of_range("Index out of bounds");
    return static_cast<std::size_t>(row - 1);
}

const std::string& CheckListModel::Text(std::int64_t row) const {
    return texts_[At(row)];
}

bool CheckListModel::Checked(std::int64_t row) const {
    return checked_[At(row)];
}

void CheckListModel::SetChecked(std::int64_t row, bool checked) {
    const std::size_t at = At(row);
    if (checked_[at] == checked) return;
    checked_[at] = checked;
    if (static_cast<int>(at) >= published_) return;
    const QModelIndex cell = index(static_cast<int>(at), 0);
    emit dataChanged(cell, cell, {Qt::CheckStateRole});
}

void CheckListModel::Append(std::string_view text, bool checked) {
    // The views count rows in int; past that the list refuses more rather than wrap around.
    if (texts_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("The list is full");
    }
    texts_.emplace_back(text);
    checked_.push_back(checked);
    if (!publish_timer_.isActive()) publish_timer_.start();
}

void CheckListModel::Clear() {
    if (texts_.empty()) return;
    ++generation_;
    beginResetModel();
    texts_.clear();
    checked_.clear();
    published_ = 0;
    publish_timer_.stop();
    endResetModel();
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : published_;
}

int CheckListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.column() != 0 || index.row() >= published_) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(texts_[row].data(), static_cast<qsizetype>(texts_[row].size()));
    if (role == Qt::CheckStateRole) return checked_[row] ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && tool_tip_) return tool_tip_(index.row() + 1);
    return {};
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole) return false;
    SetChecked(index.row() + 1, value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    // A flat list: saying so spares the view a question per row each time it lays the list out.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

QVariant CheckListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers_.size()) {
        return {};
    }
    return headers_[section];
}

}  // namespace kestrelmoor::ui
