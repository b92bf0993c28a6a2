#include "tracking/tracking_list.h"

#include <string>

namespace quillmere {
namespace {

const Text kNoText;

}  // namespace

int TrackingList::AppendRow() {
  rows_.emplace_back();
  const int index = RowCount() - 1;
  if (observer_) observer_->RowsChanged(index);
  return index;
}

const Text& TrackingList::CellText(int row, int column) const {
  if (!Exists(row, column)) return kNoText;
  return rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)];
}

void TrackingList::SetCellText(int row, int column, std::string_view text) {
  if (!Exists(row, column)) return;
  rows_[static_cast<std::size_t>(row)].cells[static_cast<std::size_t>(column)] = text;
  if (observer_) observer_->CellChanged(row, column);
}

int TrackingList::FindNumber(std::string_view number) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].cells[kNumberColumn] == number) return static_cast<int>(i);
  }
  return -1;
}

void TrackingList::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  rows_.erase(rows_.begin() + row);
  if (observer_) observer_->RowRemoved(row);
}

void TrackingList::ClearRows() {
  rows_.clear();
  rows_.shrink_to_fit();
  if (observer_) observer_->RowsCleared();
}

void TrackingList::Renumber() {
  const int count = RowCount();
  for (int k = 1; k <= count; ++k)
    rows_[static_cast<std::size_t>(k - 1)].cells[kIdColumn] = std::to_string(k);
  if (observer_) observer_->RowsChanged(0);
}

RowStatus TrackingList::Status(int row) const {
  if (row < 0 || row >= RowCount()) return RowStatus::kWaiting;
  return rows_[static_cast<std::size_t>(row)].status;
}

void TrackingList::SetStatus(int row, RowStatus status) {
  if (row >= 0 && row < RowCount()) rows_[static_cast<std::size_t>(row)].status = status;
}

int TrackingList::AddNumberRow(std::string_view trackingNumber) {
  const int index = AppendRow();
  SetCellText(index, kIdColumn, std::to_string(index + 1));
  SetCellText(index, kNumberColumn, trackingNumber);
  SetCellText(index, kLogisticsColumn, kStatusWaiting);
  SetCellText(index, kCompanyColumn, kStatusWaiting);
  SetStatus(index, RowStatus::kWaiting);
  return index;
}

}  // namespace quillmere
