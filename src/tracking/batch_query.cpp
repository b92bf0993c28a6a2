#include "tracking/batch_query.h"

#include "text/markers.h"

namespace quillmere {

void BatchQuery::RunBatchQuery() {
  const int count = list_.RowCount();
  if (count == 0) return;
  ++runsUnderWay_;
  for (int position = 1; position <= count; ++position) {
    const Text number = list_.CellText(position - 1, kNumberColumn);
    if (position <= list_.RowCount()) platform_.ShowRow(position - 1);
    // Shown before each row too: a nested run may have shown its own progress meanwhile.
    platform_.ShowProgress(position - 1, count);
    QueryRow(number, position);
    platform_.ShowProgress(position, count);
    platform_.Pause(kRowPauseMs);
    platform_.RunWaitingMessages();
  }
  if (--runsUnderWay_ == 0) platform_.ClearProgress();
}

void BatchQuery::QueryRow(std::string_view trackingNumber, int position) {
  const Text address = endpointBase_ + Text(kTrackingQueryPath) + Text(trackingNumber);
  const Bytes body = platform_.FetchReply(address);
  const Text reply = platform_.ReplyText(body);
  const Text logistics = TextBetween(reply, kLogisticsLeftMarker, kLogisticsRightMarker);
  const Text company = TextBetween(reply, kCompanyLeftMarker, kCompanyRightMarker);
  const int row = position - 1;
  list_.SetCellText(row, kLogisticsColumn, logistics);
  list_.SetCellText(row, kCompanyColumn, company);
  if (logistics.empty()) list_.SetCellText(row, kLogisticsColumn, kStatusNoTrace);
  // An empty body is all a failed request leaves; such a number still counts as unresolved.
  list_.SetStatus(row, body.empty() ? RowStatus::kFailed : RowStatus::kQueried);
  platform_.RunWaitingMessages();
}

}  // namespace quillmere
