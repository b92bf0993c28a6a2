#include "app/list_commands.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

struct FakeControls : ListCommandControls {
  Text NumberEditText() override { return editText; }
  Text ClipboardText() override { return clipboard; }
  void SetClipboardText(std::string_view text) override { clipboard = text; }
  int SelectedRow() override { return selectedRow; }

  Text editText;
  Text clipboard;
  int selectedRow = -1;
};

class ListCommandsTest : public testing::Test {
 protected:
  std::vector<Text> Numbers() const {
    std::vector<Text> numbers;
    for (int row = 0; row < list.RowCount(); ++row) numbers.push_back(list.CellText(row, kNumberColumn));
    return numbers;
  }
  std::vector<Text> Ids() const {
    std::vector<Text> ids;
    for (int row = 0; row < list.RowCount(); ++row) ids.push_back(list.CellText(row, kIdColumn));
    return ids;
  }

  TrackingList list;
  FakeControls controls;
  ListCommands commands{list, controls};
};

TEST_F(ListCommandsTest, AddSingleNumberRefusesExactDuplicatesOnly) {
  controls.editText = "SF123 ";
  commands.AddSingleNumber();
  commands.AddSingleNumber();
  controls.editText = "SF123";
  commands.AddSingleNumber();
  controls.editText = "";
  commands.AddSingleNumber();
  EXPECT_EQ(Numbers(), (std::vector<Text>{"SF123 ", "SF123"}));
  EXPECT_EQ(Ids(), (std::vector<Text>{"1", "2"}));
}

TEST_F(ListCommandsTest, PasteSplitsOnCrLfAndTrimsSpaces) {
  struct Case {
    std::string_view clipboard;
    std::vector<Text> want;
  };
  const Case cases[] = {
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\nb\n", {"a\nb\n"}},
      {"\xA1\xA1"
       "c d\xA1\xA1 \r\n\te",
       {"c d", "\te"}},
      {"", {}},
      {"x\r\nx", {"x", "x"}},  // no duplicate check
  };
  for (const Case& c : cases) {
    list.ClearRows();
    controls.clipboard = c.clipboard;
    commands.PasteNumbers();
    EXPECT_EQ(Numbers(), c.want) << c.clipboard;
  }
}

TEST_F(ListCommandsTest, CopyTakesTheSelectedNumberOrNothing) {
  list.AddNumberRow("a");
  list.AddNumberRow("b");
  controls.clipboard = "old";
  controls.selectedRow = 1;
  commands.CopyNumber();
  EXPECT_EQ(controls.clipboard, "b");
  controls.selectedRow = -1;
  commands.CopyNumber();
  EXPECT_EQ(controls.clipboard, "");
}

TEST_F(ListCommandsTest, DeleteRemovesTheSelectedRowAndRenumbers) {
  for (std::string_view n : {"a", "b", "c"}) list.AddNumberRow(n);
  controls.selectedRow = -1;
  commands.DeleteSelectedNumber();
  EXPECT_EQ(Numbers(), (std::vector<Text>{"a", "b", "c"}));
  controls.selectedRow = 1;
  commands.DeleteSelectedNumber();
  EXPECT_EQ(Numbers(), (std::vector<Text>{"a", "c"}));
  EXPECT_EQ(Ids(), (std::vector<Text>{"1", "2"}));
}

TEST_F(ListCommandsTest, ClearAllEmptiesTheList) {
  list.AddNumberRow("a");
  commands.ClearAll();
  EXPECT_EQ(list.RowCount(), 0);
}

}  // namespace
}  // namespace quillmere
