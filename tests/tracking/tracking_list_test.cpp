#include "tracking/tracking_list.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TrackingList ListOf(std::initializer_list<std::string_view> numbers) {
  TrackingList list;
  for (std::string_view number : numbers) list.AddNumberRow(number);
  return list;
}

std::vector<Text> Column(const TrackingList& list, int column) {
  std::vector<Text> texts;
  for (int row = 0; row < list.RowCount(); ++row) texts.push_back(list.CellText(row, column));
  return texts;
}

TEST(TrackingList, EmptyListReadsAsNothing) {
  TrackingList list;
  EXPECT_EQ(list.RowCount(), 0);
  EXPECT_EQ(list.CellText(0, 0), "");
  EXPECT_EQ(list.CellText(-1, 1), "");
  list.SetCellText(0, 1, "x");
  list.DeleteRow(0);
  EXPECT_EQ(list.RowCount(), 0);
}

TEST(TrackingList, AddNumberRowFillsACompleteRow) {
  TrackingList list = ListOf({"SF1"});
  EXPECT_EQ(list.AddNumberRow("YT2"), 1);
  EXPECT_EQ(
      (std::vector<Text>{list.CellText(1, 0), list.CellText(1, 1), list.CellText(1, 2), list.CellText(1, 3)}),
      (std::vector<Text>{"2", "YT2", "等待查询", "等待查询"}));
  EXPECT_EQ(list.CellText(1, 4), "");  // there is no fifth column
  list.SetCellText(1, 4, "x");
  EXPECT_EQ(list.CellText(1, 4), "");
}

TEST(TrackingList, StatusIsTheRowsOwnAndMovesWithIt) {
  TrackingList list = ListOf({"a", "b", "c"});
  EXPECT_EQ(list.Status(0), RowStatus::kWaiting);
  list.SetStatus(1, RowStatus::kFailed);
  list.SetStatus(2, RowStatus::kQueried);
  list.DeleteRow(0);
  EXPECT_EQ(list.Status(0), RowStatus::kFailed);
  EXPECT_EQ(list.Status(1), RowStatus::kQueried);
  EXPECT_EQ(list.CellText(0, kLogisticsColumn), "等待查询");  // the status is not a cell
  list.SetStatus(5, RowStatus::kFailed);
  EXPECT_EQ(list.Status(5), RowStatus::kWaiting);
}

TEST(TrackingList, DeleteThenRenumberKeepsIdsInStep) {
  TrackingList list = ListOf({"a", "b", "c"});
  list.DeleteRow(1);
  list.Renumber();
  EXPECT_EQ(Column(list, kNumberColumn), (std::vector<Text>{"a", "c"}));
  EXPECT_EQ(Column(list, kIdColumn), (std::vector<Text>{"1", "2"}));
  list.DeleteRow(-1);
  list.DeleteRow(2);
  EXPECT_EQ(list.RowCount(), 2);
}

TEST(TrackingList, ClearThenAddStartsAtOne) {
  TrackingList list = ListOf({"a", "b"});
  list.ClearRows();
  EXPECT_EQ(list.RowCount(), 0);
  list.AddNumberRow("c");
  EXPECT_EQ(list.CellText(0, kIdColumn), "1");
}

TEST(TrackingList, FindNumberIsExact) {
  const TrackingList list = ListOf({"AB12", "ab12"});
  EXPECT_EQ(list.FindNumber("ab12"), 1);
  EXPECT_EQ(list.FindNumber("AB12"), 0);
  EXPECT_EQ(list.FindNumber(" AB12"), -1);
  EXPECT_EQ(list.FindNumber("AB1"), -1);
}

TEST(TrackingList, LongCellReadsBackWhole) {
  TrackingList list = ListOf({"a"});
  const Text trace(6000, 'x');
  list.SetCellText(0, kLogisticsColumn, trace);
  EXPECT_EQ(list.CellText(0, kLogisticsColumn), trace);
}

struct RecordingObserver : TrackingListObserver {
  void RowsChanged(int firstRow) override { rowsChanged.push_back(firstRow); }
  void RowRemoved(int row) override { rowsRemoved.push_back(row); }
  void RowsCleared() override { ++clearings; }
  void CellChanged(int row, int column) override { cellsChanged.emplace_back(row, column); }
  std::vector<int> rowsChanged;
  std::vector<int> rowsRemoved;
  int clearings = 0;
  std::vector<std::pair<int, int>> cellsChanged;
};

TEST(TrackingList, ObserverHearsOfEveryChange) {
  TrackingList list = ListOf({"a", "b"});
  RecordingObserver observer;
  list.SetObserver(&observer);
  list.AddNumberRow("c");
  list.DeleteRow(0);
  list.Renumber();
  list.ClearRows();
  EXPECT_EQ(observer.rowsChanged, (std::vector<int>{2, 0}));
  EXPECT_EQ(observer.rowsRemoved, (std::vector<int>{0}));
  EXPECT_EQ(observer.clearings, 1);
  EXPECT_EQ(observer.cellsChanged, (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
}

}  // namespace
}  // namespace quillmere
