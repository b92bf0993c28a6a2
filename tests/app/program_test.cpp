// The built program, started as a process of its own and closed as a user closes it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "app/program_process_win.h"
#include "startup/skin_file.h"
#include "startup/skin_format.h"

namespace quillmere {
namespace {

TEST(Program, StartsWithItsWindowAndEndsWithExitCodeZeroWhenClosed) {
  StartedProgram program = StartProgram();
  ASSERT_TRUE(program.process) << GetLastError();
  HWND window = WaitForWindowOfProcess(program.processId);
  ASSERT_TRUE(window) << "no window captioned Quillmere-免费版";
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitForExitCode(program.process.Get()), 0u);
}

// A batch query lets messages through only between its requests and pauses: a message sent to the window
// waits for the next of those points, so one wait of a good part of a pause shows that a run is under way.
bool WindowIsInABatchQuery(HWND window) {
  for (int probe = 0; probe < 3; ++probe) {
    const ULONGLONG sentAt = GetTickCount64();
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    if (GetTickCount64() - sentAt >= 300) return true;
  }
  return false;
}

TEST(Program, ClosingTheWindowInTheMiddleOfABatchQueryEndsItWithExitCodeZero) {
  StartedProgram program = StartProgram();
  const HWND window = WaitForWindowOfProcess(program.processId);
  ASSERT_TRUE(window) << "no window captioned Quillmere-免费版";
  for (const wchar_t* number : {L"SF1234567890123", L"YT1234567890123", L"4312345678901", L"SF9", L"SF8"}) {
    SendMessageW(GetDlgItem(window, kNumberEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number));
    SendMessageW(GetDlgItem(window, kAddNumberButtonId), BM_CLICK, 0, 0);
  }
  // Five rows take at least 7.5 s; the window is closed a few seconds into the run at most.
  PostMessageW(GetDlgItem(window, kBatchQueryButtonId), BM_CLICK, 0, 0);
  Sleep(500);
  ASSERT_TRUE(WindowIsInABatchQuery(window));
  const ULONGLONG closedAt = GetTickCount64();
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);

  EXPECT_EQ(WaitForExitCode(program.process.Get()), 0u);
  EXPECT_LT(GetTickCount64() - closedAt, 4000u) << "the run went on to its end";
}

TEST(Program, ShowsItsWindowWithTheEmbeddedSkin) {
  Skin skin{};
  ASSERT_TRUE(ReadSkin(kSkinFile.data(), static_cast<std::uint32_t>(kSkinFile.size()), skin));
  StartedProgram program = StartProgram();
  const HWND window = WaitForWindowOfProcess(program.processId);
  ASSERT_TRUE(window) << "no window captioned Quillmere-免费版";
  const HWND list = GetDlgItem(window, kTrackingListId);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
            skin.colours[kSkinFieldBackground]);
  const HWND queryButton = GetDlgItem(window, kBatchQueryButtonId);
  EXPECT_EQ(GetWindowLongW(queryButton, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  // The exit routine destroys the process-wide module with the library still mapped and attached.
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitForExitCode(program.process.Get()), 0u);
}

}  // namespace
}  // namespace quillmere
