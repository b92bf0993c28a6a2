// Keeps the virtual report list in step with the tracking list. Changes are collected as they happen and the
// control is brought up to date once per command (or once the waiting messages run), so appending a million
// rows costs one call to the control, not a million.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "app/report_list_win.h"
#include "tracking/tracking_list.h"

namespace quillmere {

class TrackingListView final : public TrackingListObserver {
 public:
  // `flushMessage` is posted to `owner` when changes are waiting, so they are shown even when no command
  // brings the control up to date itself.
  TrackingListView(TrackingList& list, ReportList control, HWND owner, UINT flushMessage);
  ~TrackingListView() override;
  TrackingListView(const TrackingListView&) = delete;
  TrackingListView& operator=(const TrackingListView&) = delete;

  // Sets the item count to the list's row count and repaints what changed.
  void Flush();
  // Answers the control's LVN_GETDISPINFOW with the cell's text.
  void FillDisplayInfo(NMLVDISPINFOW& info) const;

  void RowsChanged(int firstRow) override;
  void RowRemoved(int row) override;
  void RowsCleared() override;
  void CellChanged(int row, int column) override;

 private:
  void ScheduleFlush();

  TrackingList& list_;
  ReportList control_;
  HWND owner_;
  UINT flushMessage_;
  int shownCount_ = 0;  // the item count the control holds
  bool repaintAll_ = false;
  bool flushPosted_ = false;
};

}  // namespace quillmere
