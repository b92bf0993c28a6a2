// The program's real main window with the skin library mapped from memory and attached as its created handler
// does it: what the skin changes is read back from the controls and from the pixels they paint.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/main_window_driver_win.h"
#include "native/memory_module.h"
#include "startup/skin_attach.h"
#include "startup/skin_format.h"

namespace quillmere {
namespace {

class SkinningWindowEvents final : public RecordingWindowEvents {
 public:
  void OnWindowCreated(MainWindow& window) override {
    AttachSkin();
    RecordingWindowEvents::OnWindowCreated(window);
  }
};

class SkinnedMainWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    CreateProcessModule();
    LoadSkinLibrary();
  }
  static void TearDownTestSuite() { DestroyProcessModule(); }

  void SetUp() override {
    ASSERT_TRUE(ReadSkin(kSkinFile.data(), static_cast<std::uint32_t>(kSkinFile.size()), skin));
  }

  COLORREF Colour(SkinColour colour) const { return skin.colours[colour]; }

  // The colour a control has painted at a point of its client area.
  static COLORREF PixelAt(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
  }

  Skin skin{};
  SkinningWindowEvents events;
  MainWindowDriver driver{events};
};

TEST_F(SkinnedMainWindowTest, ControlsTakeTheSkinsColours) {
  ASSERT_NE(ProcessModule()->ModuleHandle(), 0u);
  EXPECT_EQ(events.created, 1);
  const HWND list = driver.List();
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)), Colour(kSkinFieldBackground));
  EXPECT_EQ(GetWindowLongW(driver.Control(kAddNumberButtonId), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(GetWindowLongW(driver.Control(kBatchQueryButtonId), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  // The window's face left of the number's caption, and a button's face left of its text.
  EXPECT_EQ(PixelAt(driver.Handle(), 4, 50), Colour(kSkinWindow));
  RECT button;
  GetClientRect(driver.Control(kBatchQueryButtonId), &button);
  EXPECT_EQ(PixelAt(driver.Control(kBatchQueryButtonId), 6, button.bottom / 2), Colour(kSkinButtonFace));
}

TEST_F(SkinnedMainWindowTest, EverySecondRowIsStripedAndTheButtonsStillWork) {
  driver.TypeNumber(L"SF1001");
  driver.Click(kAddNumberButtonId);
  driver.TypeNumber(L"SF1002");
  driver.Click(kAddNumberButtonId);
  ASSERT_EQ(driver.RowCount(), 2);
  const HWND list = driver.List();
  RECT client;
  GetClientRect(list, &client);
  const auto rowBackground = [&](int row) {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return PixelAt(list, client.right - 12, (rect.top + rect.bottom) / 2);
  };
  EXPECT_EQ(rowBackground(0), Colour(kSkinFieldBackground));
  EXPECT_EQ(rowBackground(1), Colour(kSkinStripe));
}

}  // namespace
}  // namespace quillmere
