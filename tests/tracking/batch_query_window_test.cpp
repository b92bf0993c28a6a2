// The batch query in the real main window, clicked as a user clicks "批量查询", against a loopback tracking
// endpoint that records what it was asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "app/main_window_driver_win.h"
#include "app/taskbar_progress_win.h"
#include "support/loopback_server.h"

namespace quillmere {
namespace {

constexpr std::string_view kQueryPath = "/API/kd.php?Express=";

// A reply in the endpoint's layout, in UTF-8.
std::string TrackingReply(const std::string& company, const std::string& members) {
  return "{\n    \"Name of company\": \"" + company + "\",\n    \"data\": {\n        " + members +
         "\n    },\n    \"status\": \"ok\"\n}";
}

class BatchQueryWindowTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.Started()); }

  void Answer(std::string_view number, const std::string& body) {
    server.Reply(std::string(kQueryPath) + std::string(number),
                 HttpReply("HTTP/1.1 200 OK", "Content-Type: application/json; charset=utf-8\r\n", body));
  }
  void Add(std::initializer_list<std::string_view> numbers) {
    for (std::string_view number : numbers) driver.Window().List().AddNumberRow(number);
    driver.Window().RunWaitingMessages();
  }
  std::vector<std::string> RequestLines() const {
    std::vector<std::string> lines;
    for (const RecordedRequest& request : server.Requests()) lines.push_back(request.requestLine);
    return lines;
  }
  static std::string Get(std::string_view number) {
    return "GET " + std::string(kQueryPath) + std::string(number) + " HTTP/1.1";
  }
  std::vector<std::wstring> Row(int row) const {
    return {driver.Cell(row, 0), driver.Cell(row, 1), driver.Cell(row, 2), driver.Cell(row, 3)};
  }

  // Once the `count`th request has arrived, waits into the pause that follows it and posts `message` to
  // `window`, as a user's click in the unresponsive window is queued until the run lets messages through.
  std::thread PostDuringPauseAfter(std::size_t count, HWND window, UINT message, WPARAM wParam = 0) {
    return std::thread([this, count, window, message, wParam] {
      const ULONGLONG deadline = GetTickCount64() + 20000;
      while (server.Requests().size() < count && GetTickCount64() < deadline) Sleep(10);
      Sleep(500);
      PostMessageW(window, message, wParam, 0);
    });
  }

  LoopbackServer server;
  RecordingWindowEvents events;
  MainWindowDriver driver{events, server.Base()};
};

TEST_F(BatchQueryWindowTest, RowsAreFilledFromTheRepliesWithAPauseAfterEach) {
  Answer("SF1001", TrackingReply(Utf8(u8"青鸟速运"), Utf8(u8"\"2026-12-10 09:12\": \"已签收\"")));
  Answer("ZT2002", "{ \"Name of company\": \"" + Utf8(u8"远山快递") + "\", \"data\": {} }");
  Answer("NONE3", "<html>no record</html>");
  // "已签收" in GBK: not UTF-8, so the whole reply converts to nothing.
  Answer("GBK4", TrackingReply("\xCB\xB3\xB7\xE1", "\"t\": \"\xD2\xD1\xC7\xA9\xCA\xD5\""));
  Answer("EMOJI5", TrackingReply(Utf8(u8"海燕快递"), Utf8(u8"\"t\": \"已签收 😀 谢谢\"")));
  Add({"SF1001", "ZT2002", "NONE3", "GBK4", "EMOJI5"});

  const ULONGLONG start = GetTickCount64();
  driver.Click(kBatchQueryButtonId);
  const ULONGLONG elapsed = GetTickCount64() - start;

  EXPECT_EQ(Row(0), (std::vector<std::wstring>{L"1", L"SF1001", L"2026-12-10 09:12\": \"已签收\"\n    ",
                                               L"青鸟速运"}));
  EXPECT_EQ(Row(1), (std::vector<std::wstring>{L"2", L"ZT2002", L"暂无物流信息", L"远山快递"}));
  EXPECT_EQ(Row(2), (std::vector<std::wstring>{L"3", L"NONE3", L"暂无物流信息", L""}));
  EXPECT_EQ(Row(3), (std::vector<std::wstring>{L"4", L"GBK4", L"暂无物流信息", L""}));
  EXPECT_EQ(Row(4),
            (std::vector<std::wstring>{L"5", L"EMOJI5", L"t\": \"已签收 ? 谢谢\"\n    ", L"海燕快递"}));
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{Get("SF1001"), Get("ZT2002"), Get("NONE3"), Get("GBK4"),
                                                      Get("EMOJI5")}));
  EXPECT_GE(elapsed, 5u * 1500u);
}

TEST_F(BatchQueryWindowTest, AnEmptyNumberIsQueriedAsItStandsWithTheDefaultHeadersOnly) {
  Add({""});
  driver.Click(kBatchQueryButtonId);

  const std::vector<RecordedRequest> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "GET /API/kd.php?Express= HTTP/1.1");
  const std::vector<std::string> headers = {
      "Host: 127.0.0.1:" + std::to_string(server.Port()),
      "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
      "Accept: */*",
      "Referer: " + server.Base() + "/API/kd.php?Express=",
      "Accept-Language: zh-cn",
  };
  EXPECT_EQ(requests[0].headerLines, headers);
  EXPECT_EQ(Row(0), (std::vector<std::wstring>{L"1", L"", L"暂无物流信息", L""}));
}

TEST_F(BatchQueryWindowTest, DeletingTheFirstRowDuringThePauseSkipsTheNextOne) {
  for (std::string_view number : {"A1", "B2", "C3"}) {
    Answer(number, TrackingReply("Co", "\"t\": \"" + std::string(number) + "\""));
  }
  Add({"A1", "B2", "C3"});
  driver.Select({0});
  std::thread user = PostDuringPauseAfter(1, driver.Handle(), WM_COMMAND, kDeleteSelectedCommand);

  driver.Click(kBatchQueryButtonId);
  user.join();

  // The second query read the row that was third; the third read past the end and wrote nowhere.
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{Get("A1"), Get("C3"), Get("")}));
  ASSERT_EQ(driver.RowCount(), 2);
  EXPECT_EQ(Row(0), (std::vector<std::wstring>{L"1", L"B2", L"等待查询", L"等待查询"}));
  EXPECT_EQ(Row(1), (std::vector<std::wstring>{L"2", L"C3", L"t\": \"C3\"\n    ", L"Co"}));
}

TEST_F(BatchQueryWindowTest, AClickDuringAPauseStartsANestedRunOverTheWholeList) {
  Answer("A1", TrackingReply("Co", "\"t\": \"a\""));
  Answer("B2", TrackingReply("Co", "\"t\": \"b\""));
  Add({"A1", "B2"});
  std::thread user = PostDuringPauseAfter(1, driver.Control(kBatchQueryButtonId), BM_CLICK);

  driver.Click(kBatchQueryButtonId);
  user.join();

  EXPECT_EQ(RequestLines(), (std::vector<std::string>{Get("A1"), Get("A1"), Get("B2"), Get("B2")}));
  EXPECT_EQ(driver.Cell(1, 2), L"t\": \"b\"\n    ");
}

// Wine's taskbar object accepts every progress call and shows nothing (its explorerframe stubs answer S_OK),
// so what can be seen here is that the calls the run makes are taken.
TEST_F(BatchQueryWindowTest, TheTaskbarButtonTakesTheProgressCalls) {
  TaskbarProgress progress;
  EXPECT_FALSE(progress.Clear(driver.Handle()));  // nothing to clear before anything was shown
  EXPECT_TRUE(progress.Show(driver.Handle(), 0, 3));
  EXPECT_TRUE(progress.Show(driver.Handle(), 3, 3));
  EXPECT_TRUE(progress.Clear(driver.Handle()));
}

}  // namespace
}  // namespace quillmere
