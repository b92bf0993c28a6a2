// The tracking list: the ordered rows of tracking numbers with the latest result of querying each. The
// window's report list shows exactly these rows; it asks the list for every cell it draws.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace quillmere {

enum TrackingColumn : int { kIdColumn = 0, kNumberColumn = 1, kLogisticsColumn = 2, kCompanyColumn = 3 };
inline constexpr int kTrackingColumnCount = 4;

inline constexpr std::string_view kStatusWaiting = "等待查询";
inline constexpr std::string_view kStatusNoTrace = "暂无物流信息";
inline constexpr std::string_view kStatusFailed = "查询失败";

// Where a row stands with the batch query. It is the row's own, not a column of the list: the cells keep
// showing the texts the commands wrote.
enum class RowStatus : unsigned char {
  kWaiting,  // added, not queried yet
  kQueried,  // a reply came, whether or not it held a trace
  kFailed,   // the request produced no reply at all
};

struct TrackingRow {
  // `id`, `trackingNumber`, `logistics`, `company`, addressed by column index.
  std::array<Text, kTrackingColumnCount> cells;
  RowStatus status = RowStatus::kWaiting;
};

// Told of every change, so that a view can show it. Cheap to call: a view collects the changes and brings
// its control up to date once per command.
class TrackingListObserver {
 public:
  virtual ~TrackingListObserver() = default;
  // Rows were appended, or every row from `firstRow` on may read differently.
  virtual void RowsChanged(int firstRow) = 0;
  // The row at `row` was removed; the rows below moved up.
  virtual void RowRemoved(int row) = 0;
  virtual void RowsCleared() = 0;
  // One cell was written.
  virtual void CellChanged(int row, int column) = 0;
};

class TrackingList {
 public:
  void SetObserver(TrackingListObserver* observer) { observer_ = observer; }

  // Appends an empty row and returns its index.
  int AppendRow();
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Empty when the row or the column does not exist.
  const Text& CellText(int row, int column) const;
  // Does nothing when the row or the column does not exist.
  void SetCellText(int row, int column, std::string_view text);
  // The first row whose number equals `number` byte for byte, or -1.
  int FindNumber(std::string_view number) const;
  // Does nothing for -1 or an index out of range.
  void DeleteRow(int row);
  void ClearRows();
  void Renumber();
  // kWaiting for a row that does not exist.
  RowStatus Status(int row) const;
  // Does nothing when the row does not exist.
  void SetStatus(int row, RowStatus status);
  // Appends a complete row (id, number, and the waiting status twice) and returns its index.
  int AddNumberRow(std::string_view trackingNumber);
  // Makes room for `count` more rows, so a large paste or import grows the storage once. The room at least
  // doubles, so that many small reservations in a row still cost amortised constant time per row.
  void Reserve(std::size_t count) {
    const std::size_t needed = rows_.size() + count;
    if (needed > rows_.capacity()) rows_.reserve(std::max(needed, 2 * rows_.capacity()));
  }

 private:
  bool Exists(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < kTrackingColumnCount;
  }

  std::vector<TrackingRow> rows_;
  TrackingListObserver* observer_ = nullptr;
};

}  // namespace quillmere
