#include "tracking/batch_query.h"

#include "text/markers.h"

namespace quillmere {

void BatchQuery::RunBatchQuery() {
  const int count = list_.RowCount();
  for (int position = 1; position <= count; ++position) {
    const Text number = list_.CellText(position - 1, kNumberColumn);
    if (position <= list_.RowCount()) platform_.ShowRow(position - 1);
    QueryRow(number, position);
    platform_.Pause(kRowPauseMs);
    platform_.RunWaitingMessages();
  }
}

void BatchQuery::QueryRow(std::string_view trackingNumber, int position) {
  const Text address = endpointBase_ + Text(kTrackingQueryPath) + Text(trackingNumber);
  const Text reply = platform_.ReplyText(platform_.FetchReply(address));
  const Text logistics = TextBetween(reply, kLogisticsLeftMarker, kLogisticsRightMarker);
  const Text company = TextBetween(reply, kCompanyLeftMarker, kCompanyRightMarker);
  const int row = position - 1;
  list_.SetCellText(row, kLogisticsColumn, logistics);
  list_.SetCellText(row, kCompanyColumn, company);
  if (logistics.empty()) list_.SetCellText(row, kLogisticsColumn, kStatusNoTrace);
  platform_.RunWaitingMessages();
}

}  // namespace quillmere
