#include "startup/skin_attach.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "native/call_by_address.h"
#include "native/memory_module.h"
#include "startup/skin_format.h"

namespace quillmere {
namespace {

constexpr wchar_t kFormClass[] = L"QuillmereSkinTestForm";

// A top-level window with the kinds of control the main window has: a label, an edit box, a default and a
// plain push button, a report list with a column; made on the calling thread and destroyed with the object.
struct TestForm {
  TestForm() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kFormClass;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, kFormClass, L"skin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 500, 300,
                             nullptr, nullptr, instance, nullptr);
    label = Child(0, WC_STATICW, L"label", SS_LEFT, 10, 10, 80, 24);
    edit = Child(WS_EX_CLIENTEDGE, WC_EDITW, L"", ES_AUTOHSCROLL, 100, 10, 150, 24);
    defaultButton = Child(0, WC_BUTTONW, L"add", BS_DEFPUSHBUTTON, 260, 10, 100, 28);
    button = Child(0, WC_BUTTONW, L"query", BS_PUSHBUTTON, 370, 10, 100, 28);
    list = Child(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", LVS_REPORT, 10, 60, 460, 180);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = const_cast<wchar_t*>(L"number");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
  ~TestForm() { DestroyWindow(window); }

  HWND Child(DWORD extendedStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
             int width, int height) {
    return CreateWindowExW(extendedStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           window, nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  HWND window, label, edit, defaultButton, button, list;
};

// Runs `test` on a thread of its own: the skin applies to the windows of the thread that attaches it, so
// every test starts with windows that have never been skinned.
void OnNewThread(const std::function<void()>& test) { std::thread(test).join(); }

Skin ProgramSkin() {
  Skin skin{};
  EXPECT_TRUE(ReadSkin(kSkinFile.data(), static_cast<std::uint32_t>(kSkinFile.size()), skin));
  return skin;
}

COLORREF BrushColour(LRESULT brush) {
  LOGBRUSH logBrush = {};
  GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(logBrush), &logBrush);
  return logBrush.lbColor;
}

// What the window asks its parent for when it paints: the brush and the colours left in the device context.
struct ControlColours {
  COLORREF brush, text, background;
};

ControlColours AskColours(HWND parent, UINT message, HWND control) {
  HDC dc = GetDC(control);
  const LRESULT brush =
      SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const ControlColours colours{BrushColour(brush), GetTextColor(dc), GetBkColor(dc)};
  ReleaseDC(control, dc);
  return colours;
}

std::wstring FontFace(HWND control) {
  LOGFONTW font = {};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font.lfFaceName;
}

// The colour on screen at a point of the window's client area, after it has painted.
COLORREF PixelAt(HWND window, int x, int y) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  HDC dc = GetDC(window);
  const COLORREF colour = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return colour;
}

LONG ButtonType(HWND button) { return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK; }

void ExpectSkinned(const TestForm& form) {
  const Skin skin = ProgramSkin();
  const auto colour = [&](SkinColour c) { return skin.colours[c]; };
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.list, LVM_GETBKCOLOR, 0, 0)),
            colour(kSkinFieldBackground));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.list, LVM_GETTEXTCOLOR, 0, 0)), colour(kSkinFieldText));
  EXPECT_EQ(ButtonType(form.button), BS_OWNERDRAW);
  EXPECT_EQ(ButtonType(form.defaultButton), BS_OWNERDRAW);

  const ControlColours label = AskColours(form.window, WM_CTLCOLORSTATIC, form.label);
  EXPECT_EQ(label.brush, colour(kSkinWindow));
  EXPECT_EQ(label.text, colour(kSkinText));
  const ControlColours edit = AskColours(form.window, WM_CTLCOLOREDIT, form.edit);
  EXPECT_EQ(edit.brush, colour(kSkinFieldBackground));
  EXPECT_EQ(edit.text, colour(kSkinFieldText));
  EXPECT_EQ(edit.background, colour(kSkinFieldBackground));

  // The skin's faces are the fonts of real systems first; Wine here has the last of them.
  const char16_t* lastFace = skin.faces[skin.faceCount - 1];
  const std::wstring face(lastFace, lastFace + std::char_traits<char16_t>::length(lastFace));
  EXPECT_EQ(face, L"WenQuanYi Micro Hei");
  EXPECT_EQ(FontFace(form.edit), face);
  EXPECT_EQ(FontFace(form.button), face);
  // A font the program sets later is replaced by the skin's too.
  SendMessageW(form.edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
  EXPECT_EQ(FontFace(form.edit), face);

  // What reaches the screen: the window's face between the controls, a button's face beside its text.
  EXPECT_EQ(PixelAt(form.window, 480, 250), colour(kSkinWindow));
  EXPECT_EQ(PixelAt(form.window, 375, 24), colour(kSkinButtonFace));
}

class SkinAttachTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
  }
  void SetUp() override { CreateProcessModule(); }
  // The library stays mapped, as it does when the program ends.
  void TearDown() override { DestroyProcessModule(); }
};

TEST_F(SkinAttachTest, TheLibraryMapsFromMemoryAndSkinsPresentAndLaterWindows) {
  LoadSkinLibrary();
  ASSERT_NE(ProcessModule()->ModuleHandle(), 0u);
  ASSERT_NE(ProcessModule()->FindExport("SkinH_AttachRes"), 0u);
  OnNewThread([] {
    TestForm present;
    AttachSkin();
    ExpectSkinned(present);
    TestForm later;
    ExpectSkinned(later);
  });
}

// What a message box shown after the skin was attached looked like, read while it was open.
struct MessageBoxLook {
  bool found = false;
  LONG buttonType = -1;
  COLORREF face = CLR_INVALID;
};
MessageBoxLook messageBoxLook;

BOOL CALLBACK FindOwnerDrawButton(HWND child, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, WC_BUTTONW) != 0) return TRUE;
  messageBoxLook.buttonType = ButtonType(child);
  return FALSE;
}

BOOL CALLBACK ReadAndCloseMessageBox(HWND window, LPARAM) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (lstrcmpW(name, L"#32770") != 0) return TRUE;
  messageBoxLook.found = true;
  EnumChildWindows(window, &FindOwnerDrawButton, 0);
  RECT client;
  GetClientRect(window, &client);
  messageBoxLook.face = PixelAt(window, client.right - 2, client.bottom - 2);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK ReadMessageBoxOnTimer(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), &ReadAndCloseMessageBox, 0);
}

TEST_F(SkinAttachTest, AMessageBoxShownLaterIsSkinnedToo) {
  LoadSkinLibrary();
  OnNewThread([] {
    TestForm form;
    AttachSkin();
    messageBoxLook = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &ReadMessageBoxOnTimer);
    MessageBoxW(form.window, L"text", L"caption", MB_OK);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(messageBoxLook.found);
    EXPECT_EQ(messageBoxLook.buttonType, BS_OWNERDRAW);
    EXPECT_EQ(messageBoxLook.face, ProgramSkin().colours[kSkinWindow]);
  });
}

TEST_F(SkinAttachTest, WithoutTheLibraryNothingIsCalledAndTheWindowStaysAsItWas) {
  OnNewThread([] {
    TestForm form;
    AttachSkin();
    EXPECT_EQ(ButtonType(form.button), BS_PUSHBUTTON);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(form.list, LVM_GETBKCOLOR, 0, 0)),
              GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(PixelAt(form.window, 480, 250), GetSysColor(COLOR_BTNFACE));
  });
}

TEST_F(SkinAttachTest, WithoutTheProcessModuleNothingIsCalled) {
  DestroyProcessModule();
  OnNewThread([] {
    TestForm form;
    AttachSkin();
    EXPECT_EQ(ButtonType(form.button), BS_PUSHBUTTON);
  });
}

// A second copy of the library cannot have its preferred base, which the first holds: it runs relocated.
TEST(SkinLibrary, WorksRelocatedAndLeavesTheWindowsAsTheyAreForBytesThatAreNotASkin) {
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(kSkinLibraryImage, headers));
  EXPECT_EQ(headers.nt.OptionalHeader.DataDirectory[9].Size, 0u);  // no thread-local storage
  MemoryModule first;
  MemoryModule second;
  ASSERT_TRUE(first.Load(kSkinLibraryImage));
  ASSERT_TRUE(second.Load(kSkinLibraryImage));
  EXPECT_NE(second.ModuleHandle(), headers.nt.OptionalHeader.ImageBase);
  const std::uintptr_t attach = second.FindExport("SkinH_AttachRes");
  ASSERT_NE(attach, 0u);
  OnNewThread([attach] {
    TestForm form;
    const unsigned char notASkin[] = ".SHE\0 not really";
    EXPECT_EQ(CallByAddress(attach, reinterpret_cast<std::uintptr_t>(notASkin), sizeof(notASkin)), 0u);
    EXPECT_EQ(ButtonType(form.button), BS_PUSHBUTTON);
    EXPECT_EQ(CallByAddress(attach, reinterpret_cast<std::uintptr_t>(kSkinFile.data()), kSkinFile.size()),
              1u);
    ExpectSkinned(form);
  });
}

}  // namespace
}  // namespace quillmere
