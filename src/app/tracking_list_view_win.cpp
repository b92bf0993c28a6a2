#include "app/tracking_list_view_win.h"

#include <algorithm>
#include <cwchar>

#include "text/wide_text.h"

namespace quillmere {

TrackingListView::TrackingListView(TrackingList& list, ReportList control, HWND owner, UINT flushMessage)
    : list_(list), control_(control), owner_(owner), flushMessage_(flushMessage) {
  list_.SetObserver(this);
  Flush();
}

TrackingListView::~TrackingListView() { list_.SetObserver(nullptr); }

void TrackingListView::Flush() {
  flushPosted_ = false;
  if (shownCount_ != list_.RowCount()) {
    shownCount_ = list_.RowCount();
    control_.SetItemCount(shownCount_);
  }
  if (repaintAll_) control_.Invalidate();
  repaintAll_ = false;
}

void TrackingListView::FillDisplayInfo(NMLVDISPINFOW& info) const {
  if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
  const std::wstring text = TextToWide(list_.CellText(info.item.iItem, info.item.iSubItem));
  const std::size_t room = static_cast<std::size_t>(info.item.cchTextMax) - 1;
  const std::size_t length = std::min(text.size(), room);
  std::wmemcpy(info.item.pszText, text.data(), length);
  info.item.pszText[length] = L'\0';
}

void TrackingListView::RowsChanged(int) {
  repaintAll_ = true;
  ScheduleFlush();
}

void TrackingListView::RowRemoved(int row) {
  // Deleting the item itself, rather than lowering the count, keeps the selection on the rows it was on.
  if (row < shownCount_) {
    control_.DeleteItem(row);
    --shownCount_;
  }
  repaintAll_ = true;
  ScheduleFlush();
}

void TrackingListView::RowsCleared() {
  control_.DeleteAllItems();
  shownCount_ = 0;
  ScheduleFlush();
}

void TrackingListView::CellChanged(int row, int) {
  if (row < shownCount_) control_.RedrawItems(row, row);
}

void TrackingListView::ScheduleFlush() {
  if (flushPosted_) return;
  flushPosted_ = PostMessageW(owner_, flushMessage_, 0, 0) != FALSE;
}

}  // namespace quillmere
