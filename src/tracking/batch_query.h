// The batch query: walks the tracking list from top to bottom, asks the tracking endpoint about each row's
// number and writes the logistics trace and the courier company of the reply into the row. It runs on the
// window thread, inside the click on "批量查询", and lets waiting window messages run after each row and
// after each pause, so any command (a second batch query included) can run in the middle of it.
#pragma once

#include <string_view>

#include "text/text.h"
#include "tracking/tracking_list.h"
#include "web/bytes.h"

namespace quillmere {

inline constexpr std::string_view kTrackingQueryPath = "/API/kd.php?Express=";
// The reply is cut, not parsed: the trace is the raw text of the "data" object from its first member name to
// the first closing brace, the company the value of "Name of company".
inline constexpr std::string_view kLogisticsLeftMarker = " \"data\": {\n        \"";
inline constexpr std::string_view kLogisticsRightMarker = "}";
inline constexpr std::string_view kCompanyLeftMarker = " \"Name of company\": \"";
inline constexpr std::string_view kCompanyRightMarker = "\",";
inline constexpr unsigned kRowPauseMs = 1500;

// What the batch query needs of the platform and of the window.
class BatchQueryPlatform {
 public:
  virtual ~BatchQueryPlatform() = default;
  // The body of a plain GET of `address`; empty when the request fails.
  virtual Bytes FetchReply(std::string_view address) = 0;
  // The reply read as UTF-8, in GBK, up to its first zero byte; empty when it is not valid UTF-8.
  virtual Text ReplyText(const Bytes& body) = 0;
  // Blocks the window thread: the window does not respond meanwhile.
  virtual void Pause(unsigned milliseconds) = 0;
  virtual void RunWaitingMessages() = 0;
  // Scrolls the report list so that the row being queried is in view.
  virtual void ShowRow(int row) = 0;
  // The run's progress on the window's taskbar button: `done` rows of `total`, in the normal state.
  virtual void ShowProgress(int done, int total) = 0;
  // The run is over: the taskbar button shows no progress.
  virtual void ClearProgress() = 0;
};

class BatchQuery {
 public:
  // `endpointBase` is the scheme and host of the tracking endpoint, with an optional port, no final "/".
  BatchQuery(TrackingList& list, BatchQueryPlatform& platform, std::string_view endpointBase)
      : list_(list), platform_(platform), endpointBase_(endpointBase) {}

  // Queries rows 1 to n, n being the row count when the run starts. Rows deleted during the run shift the
  // rest up under it, so one row is skipped and the last positions read an empty number.
  void RunBatchQuery();
  // Writes the trace and the company of the reply for `trackingNumber` into the row at `position` (1-based),
  // or "暂无物流信息" when the reply holds no trace, and marks the row queried, or failed when no reply came.
  void QueryRow(std::string_view trackingNumber, int position);

 private:
  TrackingList& list_;
  BatchQueryPlatform& platform_;
  Text endpointBase_;
  // A click on "批量查询" during a run starts another inside it; the progress is cleared when the outermost
  // ends.
  int runsUnderWay_ = 0;
};

}  // namespace quillmere
