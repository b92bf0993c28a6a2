// The real main window, created in this process by the program's own code and driven by its own messages.
#include "app/main_window_win.h"

#include <gtest/gtest.h>

#include "app/main_window_driver_win.h"
#include "text/wide_text.h"

namespace quillmere {
namespace {

class MainWindowTest : public testing::Test {
 protected:
  RecordingWindowEvents events;
  MainWindowDriver driver{events};

  void Paste(const std::wstring& clipboard) {
    WriteUnicodeClipboard(clipboard);
    driver.Choose(kPasteNumbersCommand);
  }
};

RECT ClientRectOf(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring ClassNameOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring MenuItemText(HMENU menu, int position) {
  wchar_t text[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
  return text;
}

TEST_F(MainWindowTest, IsMadeExactlyFromItsForm) {
  EXPECT_EQ(events.created, 1);
  wchar_t caption[64] = {};
  GetWindowTextW(driver.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Quillmere-免费版");
  RECT outer;
  GetWindowRect(driver.Handle(), &outer);
  EXPECT_EQ(outer.left, 50);
  EXPECT_EQ(outer.top, 50);
  EXPECT_EQ(outer.right - outer.left, 891);
  EXPECT_EQ(outer.bottom - outer.top, 628);

  struct Want {
    ControlId id;
    const wchar_t* className;
    RECT rect;  // left, top, right, bottom in client coordinates
    const wchar_t* text;
  };
  const Want controls[] = {
      {kNoticeLabelId, L"Static", {88, 4, 864, 28}, L""},
      {kVersionCaptionId, L"Static", {810, 56, 842, 72}, L"版本："},
      {kVersionLabelId, L"Static", {848, 56, 888, 72}, L"1.0"},
      {kNumberCaptionId, L"Static", {10, 34, 80, 63}, L"快递单号:"},
      {kNumberEditId, L"Edit", {81, 34, 304, 63}, L""},
      {kAddNumberButtonId, L"Button", {320, 34, 422, 63}, L"添加单个单号"},
      {kBatchQueryButtonId, L"Button", {440, 33, 544, 62}, L"批量查询"},
      {kRightClickHintId, L"Static", {552, 32, 664, 64}, L"更多功能请点右键"},
      {kTrackingListId, L"SysListView32", {1, 79, 886, 600}, L""},
  };
  for (const Want& want : controls) {
    HWND control = driver.Control(want.id);
    ASSERT_TRUE(control) << want.id;
    EXPECT_EQ(ClassNameOf(control), want.className) << want.id;
    const RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, want.rect.left) << want.id;
    EXPECT_EQ(rect.top, want.rect.top) << want.id;
    EXPECT_EQ(rect.right, want.rect.right) << want.id;
    EXPECT_EQ(rect.bottom, want.rect.bottom) << want.id;
    EXPECT_EQ(driver.ControlText(want.id), want.text) << want.id;
  }
}

TEST_F(MainWindowTest, ListIsAReportWithTheFourColumns) {
  EXPECT_EQ(GetWindowLongW(driver.List(), GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
  HWND header = reinterpret_cast<HWND>(SendMessageW(driver.List(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
  const std::pair<const wchar_t*, int> columns[] = {
      {L"id", 50}, {L"单号", 130}, {L"物流信息", 600}, {L"快递公司", 100}};
  for (int i = 0; i < 4; ++i) {
    wchar_t title[32] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(driver.List(), LVM_GETCOLUMNW, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, columns[i].first);
    EXPECT_EQ(column.cx, columns[i].second);
  }
}

TEST_F(MainWindowTest, MenuBarHoldsFunctionsWithAbout) {
  HMENU bar = GetMenu(driver.Handle());
  ASSERT_TRUE(bar);
  ASSERT_EQ(GetMenuItemCount(bar), 1);
  EXPECT_EQ(MenuItemText(bar, 0), L"功能");
  HMENU functions = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(functions), 1);
  EXPECT_EQ(MenuItemText(functions, 0), L"关于");
  driver.Choose(kAboutCommand);  // does nothing, and shows nothing
  EXPECT_EQ(driver.RowCount(), 0);
}

TEST_F(MainWindowTest, AddSingleNumberRefusesExactDuplicatesAndKeepsTheEditText) {
  driver.TypeNumber(L"SF1001 ");
  driver.Click(kAddNumberButtonId);
  driver.Click(kAddNumberButtonId);
  EXPECT_EQ(driver.ControlText(kNumberEditId), L"SF1001 ");
  driver.TypeNumber(L"SF1001");
  driver.Click(kAddNumberButtonId);
  driver.TypeNumber(L"");
  driver.Click(kAddNumberButtonId);
  EXPECT_EQ(driver.Column(kIdColumn), (std::vector<std::wstring>{L"1", L"2"}));
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"SF1001 ", L"SF1001"}));
  EXPECT_EQ(driver.Column(kLogisticsColumn), (std::vector<std::wstring>{L"等待查询", L"等待查询"}));
  EXPECT_EQ(driver.Column(kCompanyColumn), (std::vector<std::wstring>{L"等待查询", L"等待查询"}));
}

TEST_F(MainWindowTest, PasteSplitsTheClipboardOnCrLfOnly) {
  struct Case {
    const wchar_t* clipboard;
    std::vector<std::wstring> want;
  };
  const Case cases[] = {
      {L"a\r\n\r\nb\r\n", {L"a", L"", L"b"}},
      {L"a\nb\n", {L"a\nb\n"}},
      {L"\u3000远山 75\u3000\r\n\tYT2 \r\n", {L"远山 75", L"\tYT2"}},
      {L"", {}},
  };
  for (const Case& c : cases) {
    driver.Choose(kClearAllCommand);
    Paste(c.clipboard);
    EXPECT_EQ(driver.Column(kNumberColumn), c.want) << c.clipboard;
  }
}

TEST_F(MainWindowTest, PastedChineseIsHeldAsGbkWhateverTheAnsiCodePage) {
  Paste(L"远山快递\r\n");
  EXPECT_EQ(driver.Window().List().CellText(0, kNumberColumn), "\xD4\xB6\xC9\xBD\xBF\xEC\xB5\xDD");
  EXPECT_EQ(driver.Cell(0, kNumberColumn), L"远山快递");
}

TEST_F(MainWindowTest, PasteWithNoTextOnTheClipboardAddsNothing) {
  {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
  }
  driver.Choose(kPasteNumbersCommand);
  EXPECT_EQ(driver.RowCount(), 0);
}

TEST_F(MainWindowTest, CopyPutsTheLowestSelectedNumberOrAnEmptyText) {
  Paste(L"a\r\nb\r\nc\r\nd\r\ne\r\nf\r\n");
  WriteUnicodeClipboard(L"before");
  driver.Choose(kCopyNumberCommand);
  ClipboardContent content = ReadUnicodeClipboard();
  EXPECT_TRUE(content.hasText);
  EXPECT_EQ(content.text, L"");

  driver.Select({3, 5});
  driver.Choose(kCopyNumberCommand);
  EXPECT_EQ(ReadUnicodeClipboard().text, L"d");
}

TEST_F(MainWindowTest, DeleteRemovesTheLowestSelectedRowAndRenumbers) {
  Paste(L"a\r\nb\r\nc\r\n");
  driver.Choose(kDeleteSelectedCommand);
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"a", L"b", L"c"}));

  driver.Select({1});
  driver.Choose(kDeleteSelectedCommand);
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"a", L"c"}));
  EXPECT_EQ(driver.Column(kIdColumn), (std::vector<std::wstring>{L"1", L"2"}));

  Paste(L"x\r\ny\r\n");
  driver.Select({3, 1});
  driver.Choose(kDeleteSelectedCommand);
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"a", L"x", L"y"}));
  EXPECT_EQ(driver.Column(kIdColumn), (std::vector<std::wstring>{L"1", L"2", L"3"}));
}

TEST_F(MainWindowTest, ClearAllEmptiesTheListAndNumberingStartsAgain) {
  Paste(L"a\r\nb\r\n");
  driver.Choose(kClearAllCommand);
  EXPECT_EQ(driver.RowCount(), 0);
  driver.TypeNumber(L"c");
  driver.Click(kAddNumberButtonId);
  EXPECT_EQ(driver.Column(kIdColumn), (std::vector<std::wstring>{L"1"}));
}

TEST_F(MainWindowTest, LongCellIsReadBackWholeThroughTheControl) {
  Paste(L"a\r\n");
  driver.Window().List().SetCellText(0, kLogisticsColumn, Text(5000, 'x') + "末");
  EXPECT_EQ(driver.Cell(0, kLogisticsColumn), std::wstring(5000, L'x') + L"末");
}

TEST_F(MainWindowTest, ChangesMadeOutsideACommandAreShownOnceMessagesRun) {
  driver.Window().List().AddNumberRow("late");
  EXPECT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == 1; }));
  EXPECT_EQ(driver.Cell(0, kNumberColumn), L"late");
}

TEST_F(MainWindowTest, NewDpiScalesThePlacesSizesAndColumns) {
  RECT suggested = {75, 75, 75 + 1337, 75 + 942};
  SendMessageW(driver.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const RECT list = ClientRectOf(driver.List());
  EXPECT_EQ(list.left, 2);
  EXPECT_EQ(list.top, 119);
  EXPECT_EQ(list.right - list.left, 1328);
  EXPECT_EQ(list.bottom - list.top, 782);
  EXPECT_EQ(SendMessageW(driver.List(), LVM_GETCOLUMNWIDTH, 2, 0), 900);
  const RECT button = ClientRectOf(driver.Control(kBatchQueryButtonId));
  EXPECT_EQ(button.left, 660);
  EXPECT_EQ(button.right - button.left, 156);
}

// What a timer saw of the pop-up menu while the menu's own loop ran, before it chose an item by keyboard.
struct PopupMenuSeen {
  bool seen = false;
  RECT rect = {};
  std::vector<std::wstring> items;
  int chooseIndex = -1;
};
PopupMenuSeen popupMenu;

void CALLBACK ReadAndChooseFromPopupMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menuWindow = FindWindowW(L"#32768", nullptr);
  if (!menuWindow || !IsWindowVisible(menuWindow)) return;
  KillTimer(nullptr, timer);
  popupMenu.seen = true;
  GetWindowRect(menuWindow, &popupMenu.rect);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(menu); ++i) popupMenu.items.push_back(MenuItemText(menu, i));
  for (int i = 0; i <= popupMenu.chooseIndex; ++i) PostMessageW(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menuWindow, WM_KEYDOWN, popupMenu.chooseIndex >= 0 ? VK_RETURN : VK_ESCAPE, 0);
}

TEST_F(MainWindowTest, RightClickSelectsTheRowAndOpensTheListMenuBesideThePointer) {
  Paste(L"a\r\nb\r\nc\r\n");
  WriteUnicodeClipboard(L"before");
  RECT item = {};
  item.left = LVIR_BOUNDS;
  SendMessageW(driver.List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  const POINT inList = {item.left + 30, (item.top + item.bottom) / 2};
  POINT onScreen = inList;
  ClientToScreen(driver.List(), &onScreen);
  ASSERT_TRUE(SetCursorPos(onScreen.x, onScreen.y));

  popupMenu = PopupMenuSeen();
  popupMenu.chooseIndex = 3;  // "复制单号"
  SetTimer(nullptr, 0, 20, &ReadAndChooseFromPopupMenu);
  PostMessageW(driver.List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(inList.x, inList.y));
  PostMessageW(driver.List(), WM_RBUTTONUP, 0, MAKELPARAM(inList.x, inList.y));
  ASSERT_TRUE(driver.PumpUntil([] { return popupMenu.seen && ReadUnicodeClipboard().text != L"before"; }));

  EXPECT_EQ(popupMenu.rect.left, onScreen.x + 3);
  EXPECT_EQ(popupMenu.rect.top, onScreen.y + 3);
  EXPECT_EQ(popupMenu.items,
            (std::vector<std::wstring>{L"导入单号", L"导出查询结果", L"导出查询失败的单号", L"复制单号",
                                       L"粘贴单号", L"删除选中单号", L"清空全部"}));
  EXPECT_EQ(ReadUnicodeClipboard().text, L"b");
}

TEST_F(MainWindowTest, RightClickOnEmptySpaceOpensTheMenuToo) {
  Paste(L"a\r\n");
  RECT client;
  GetClientRect(driver.List(), &client);
  const POINT inList = {client.right / 2, client.bottom - 20};
  POINT onScreen = inList;
  ClientToScreen(driver.List(), &onScreen);
  ASSERT_TRUE(SetCursorPos(onScreen.x, onScreen.y));

  popupMenu = PopupMenuSeen();  // closed with Escape
  SetTimer(nullptr, 0, 20, &ReadAndChooseFromPopupMenu);
  PostMessageW(driver.List(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(inList.x, inList.y));
  PostMessageW(driver.List(), WM_RBUTTONUP, 0, MAKELPARAM(inList.x, inList.y));
  ASSERT_TRUE(driver.PumpUntil([] { return popupMenu.seen && !FindWindowW(L"#32768", nullptr); }));
  EXPECT_EQ(popupMenu.items.size(), 7u);
  EXPECT_EQ(driver.RowCount(), 1);
}

TEST(MainWindowLifetime, DestroyingTheWindowTellsTheProgramOnce) {
  RecordingWindowEvents events;
  {
    MainWindowDriver driver(events);
    EXPECT_EQ(events.destroyed, 0);
  }
  EXPECT_EQ(events.created, 1);
  EXPECT_EQ(events.destroyed, 1);
}

}  // namespace
}  // namespace quillmere
