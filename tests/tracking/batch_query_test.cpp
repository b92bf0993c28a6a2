#include "tracking/batch_query.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace quillmere {
namespace {

constexpr std::string_view kBase = "http://tracking.test:8080";

Text Address(std::string_view number) { return Text(kBase) + "/API/kd.php?Express=" + Text(number); }

// A reply in the endpoint's layout, already converted to GBK.
Text Reply(std::string_view company, std::string_view members) {
  return "{\n    \"Name of company\": \"" + Text(company) + "\",\n    \"data\": {\n        " + Text(members) +
         "\n    },\n    \"status\": \"ok\"\n}";
}

// Stands in for the endpoint and the window. Every call is logged; a test can act at a given event, as a
// user's command would at that point of the run.
class FakePlatform final : public BatchQueryPlatform {
 public:
  Bytes FetchReply(std::string_view address) override {
    log.push_back("fetch " + Text(address));
    const auto reply = replies.find(Text(address));
    return reply == replies.end() ? Bytes() : BytesOf(reply->second);
  }
  Text ReplyText(const Bytes& body) override {
    const Text text(BytesView(body));
    return text == kNotUtf8 ? Text() : text;
  }
  void Pause(unsigned milliseconds) override {
    log.push_back("pause " + std::to_string(milliseconds));
    Act();
  }
  void RunWaitingMessages() override {
    log.push_back("messages");
    Act();
  }
  void ShowRow(int row) override { log.push_back("show " + std::to_string(row)); }
  void ShowProgress(int done, int total) override {
    log.push_back("progress " + std::to_string(done) + "/" + std::to_string(total));
  }
  void ClearProgress() override { log.push_back("progress cleared"); }

  // Runs `action` once, at the `count`th pause or message run from now on.
  void At(int count, std::function<void()> action) { actions[eventsSeen + count] = std::move(action); }

  static constexpr std::string_view kNotUtf8 = "not utf-8";
  std::map<Text, Text> replies;
  std::vector<Text> log;

 private:
  void Act() {
    const auto action = actions.find(++eventsSeen);
    if (action == actions.end()) return;
    std::function<void()> run = std::move(action->second);
    actions.erase(action);
    run();
  }

  int eventsSeen = 0;
  std::map<int, std::function<void()>> actions;
};

class BatchQueryTest : public testing::Test {
 protected:
  void Add(std::initializer_list<std::string_view> numbers) {
    for (std::string_view number : numbers) list.AddNumberRow(number);
  }
  std::vector<Text> Fetches() const {
    std::vector<Text> fetches;
    for (const Text& entry : platform.log) {
      if (entry.rfind("fetch ", 0) == 0) fetches.push_back(entry.substr(6));
    }
    return fetches;
  }
  std::vector<Text> Progress() const {
    std::vector<Text> progress;
    for (const Text& entry : platform.log) {
      if (entry.rfind("progress ", 0) == 0) progress.push_back(entry.substr(9));
    }
    return progress;
  }
  std::vector<Text> Row(int row) const {
    return {list.CellText(row, 0), list.CellText(row, 1), list.CellText(row, 2), list.CellText(row, 3)};
  }

  TrackingList list;
  FakePlatform platform;
  BatchQuery query{list, platform, kBase};
};

TEST_F(BatchQueryTest, AnEmptyListDoesNothing) {
  query.RunBatchQuery();
  EXPECT_TRUE(platform.log.empty());
}

TEST_F(BatchQueryTest, FieldsAreCutFromTheReply) {
  struct Case {
    Text reply;
    std::string_view logistics, company;
  };
  const Case cases[] = {
      {Reply("顺丰速运", "\"2026-12-10 09:12\": \"已签收\",\n        \"2026-12-09 18:40\": \"派送中\""),
       "2026-12-10 09:12\": \"已签收\",\n        \"2026-12-09 18:40\": \"派送中\"\n    ", "顺丰速运"},
      // The company marker without the trace marker.
      {"{ \"Name of company\": \"中通快递\", \"data\": {} }", "暂无物流信息", "中通快递"},
      // The trace marker with no closing brace after it.
      {" \"data\": {\n        \"time\": \"open", "暂无物流信息", ""},
      {"<html>502 Bad Gateway</html>", "暂无物流信息", ""},
      {Text(FakePlatform::kNotUtf8), "暂无物流信息", ""},
      // The markers are case-sensitive.
      {" \"name of company\": \"x\", \"DATA\": {\n        \"a\"}", "暂无物流信息", ""},
  };
  for (const Case& c : cases) {
    list.ClearRows();
    Add({"N1"});
    platform.replies[Address("N1")] = c.reply;
    query.RunBatchQuery();
    EXPECT_EQ(list.CellText(0, kLogisticsColumn), c.logistics) << c.reply;
    EXPECT_EQ(list.CellText(0, kCompanyColumn), c.company) << c.reply;
    EXPECT_EQ(list.Status(0), RowStatus::kQueried) << c.reply;
  }
}

TEST_F(BatchQueryTest, AFailedRequestReadsAsNoTrace) {
  Add({"N1"});
  query.RunBatchQuery();
  EXPECT_EQ(Row(0), (std::vector<Text>{"1", "N1", "暂无物流信息", ""}));
  EXPECT_EQ(list.Status(0), RowStatus::kFailed);
}

TEST_F(BatchQueryTest, EachRowIsShownQueriedWrittenAndPausedInThatOrder) {
  Add({"A", "B"});
  query.RunBatchQuery();
  const std::vector<Text> want = {
      "show 0",
      "progress 0/2",
      "fetch " + Address("A"),
      "messages",
      "progress 1/2",
      "pause 1500",
      "messages",
      "show 1",
      "progress 1/2",
      "fetch " + Address("B"),
      "messages",
      "progress 2/2",
      "pause 1500",
      "messages",
      "progress cleared",
  };
  EXPECT_EQ(platform.log, want);
}

TEST_F(BatchQueryTest, TheNumberIsAppendedExactlyAsStored) {
  Add({" SF 1?x=1&y", "", "单号"});
  query.RunBatchQuery();
  EXPECT_EQ(Fetches(), (std::vector<Text>{Address(" SF 1?x=1&y"), Address(""), Address("单号")}));
  EXPECT_EQ(Address(""), "http://tracking.test:8080/API/kd.php?Express=");
}

TEST_F(BatchQueryTest, ARunRequeriesRowsThatHoldAResult) {
  Add({"A"});
  platform.replies[Address("A")] = Reply("韵达快递", "\"t\": \"在途\"");
  query.RunBatchQuery();
  platform.replies.clear();
  query.RunBatchQuery();
  EXPECT_EQ(Fetches().size(), 2u);
  EXPECT_EQ(Row(0), (std::vector<Text>{"1", "A", "暂无物流信息", ""}));
}

TEST_F(BatchQueryTest, RowsAddedDuringTheRunAreNotVisited) {
  Add({"A"});
  platform.At(1, [this] { list.AddNumberRow("B"); });
  query.RunBatchQuery();
  EXPECT_EQ(Fetches(), (std::vector<Text>{Address("A")}));
  EXPECT_EQ(Row(1), (std::vector<Text>{"2", "B", "等待查询", "等待查询"}));
}

TEST_F(BatchQueryTest, DeletingTheFirstRowDuringThePauseSkipsOneAndQueriesAnEmptyNumber) {
  Add({"A", "B", "C"});
  for (std::string_view number : {"A", "B", "C"})
    platform.replies[Address(number)] = Reply("公司", "\"t\": \"" + Text(number) + "\"");
  // Events: messages after row 1's writes, then its pause; the deletion runs with the messages after it.
  platform.At(3, [this] {
    list.DeleteRow(0);
    list.Renumber();
  });
  query.RunBatchQuery();
  EXPECT_EQ(Fetches(), (std::vector<Text>{Address("A"), Address("C"), Address("")}));
  EXPECT_EQ(list.RowCount(), 2);
  EXPECT_EQ(Row(0), (std::vector<Text>{"1", "B", "等待查询", "等待查询"}));
  EXPECT_EQ(Row(1), (std::vector<Text>{"2", "C", "t\": \"C\"\n    ", "公司"}));
  EXPECT_EQ(list.Status(0), RowStatus::kWaiting);
  EXPECT_EQ(list.Status(1), RowStatus::kQueried);
}

TEST_F(BatchQueryTest, AClickDuringAPauseRunsANestedRunToItsEndFirst) {
  Add({"A", "B"});
  platform.At(3, [this] { query.RunBatchQuery(); });
  query.RunBatchQuery();
  EXPECT_EQ(Fetches(), (std::vector<Text>{Address("A"), Address("A"), Address("B"), Address("B")}));
  // The outer run shows its own progress again once the nested one is over; only the outer one clears it.
  EXPECT_EQ(Progress(),
            (std::vector<Text>{"0/2", "1/2", "0/2", "1/2", "1/2", "2/2", "1/2", "2/2", "cleared"}));
}

}  // namespace
}  // namespace quillmere
