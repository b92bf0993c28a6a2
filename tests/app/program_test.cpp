// The built program, started as a process of its own and closed as a user closes it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "native/unique_handle.h"
#include "startup/skin_file.h"
#include "startup/skin_format.h"

namespace quillmere {
namespace {

using UniqueProcessHandle = UniqueHandle<HANDLE, &CloseHandle>;

constexpr DWORD kWindowWaitMs = 30000;

// Wine shows the root of the Unix file system as drive Z:.
std::wstring ProgramPath() {
  std::wstring path = L"Z:" QUILLMERE_PROGRAM_PATH;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

struct FoundWindow {
  DWORD processId;
  HWND window;
};

BOOL CALLBACK FindProcessMainWindow(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<FoundWindow*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t caption[64] = {};
  GetWindowTextW(window, caption, 64);
  if (processId == found->processId && std::wstring(caption) == L"Quillmere-免费版" &&
      IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForMainWindow(DWORD processId) {
  FoundWindow found = {processId, nullptr};
  const ULONGLONG deadline = GetTickCount64() + kWindowWaitMs;
  while (!found.window && GetTickCount64() < deadline) {
    EnumWindows(&FindProcessMainWindow, reinterpret_cast<LPARAM>(&found));
    if (!found.window) Sleep(50);
  }
  return found.window;
}

TEST(Program, StartsWithItsWindowAndEndsWithExitCodeZeroWhenClosed) {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started))
      << GetLastError();
  UniqueProcessHandle process(started.hProcess);
  UniqueProcessHandle thread(started.hThread);

  HWND window = WaitForMainWindow(started.dwProcessId);
  ASSERT_TRUE(window) << "no window captioned Quillmere-免费版";
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);

  ASSERT_EQ(WaitForSingleObject(process.Get(), kWindowWaitMs), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(process.Get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

struct StartedProgram {
  UniqueProcessHandle process;
  UniqueProcessHandle thread;
  HWND window = nullptr;
};

StartedProgram StartProgram() {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  StartedProgram program;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return program;
  }
  program.process = UniqueProcessHandle(started.hProcess);
  program.thread = UniqueProcessHandle(started.hThread);
  program.window = WaitForMainWindow(started.dwProcessId);
  return program;
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
  ASSERT_TRUE(program.window) << "no window captioned Quillmere-免费版";
  for (const wchar_t* number : {L"SF1234567890123", L"YT1234567890123", L"4312345678901", L"SF9", L"SF8"}) {
    SendMessageW(GetDlgItem(program.window, kNumberEditId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(number));
    SendMessageW(GetDlgItem(program.window, kAddNumberButtonId), BM_CLICK, 0, 0);
  }
  // Five rows take at least 7.5 s; the window is closed a few seconds into the run at most.
  PostMessageW(GetDlgItem(program.window, kBatchQueryButtonId), BM_CLICK, 0, 0);
  Sleep(500);
  ASSERT_TRUE(WindowIsInABatchQuery(program.window));
  const ULONGLONG closedAt = GetTickCount64();
  PostMessageW(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);

  ASSERT_EQ(WaitForSingleObject(program.process.Get(), kWindowWaitMs), WAIT_OBJECT_0);
  EXPECT_LT(GetTickCount64() - closedAt, 4000u) << "the run went on to its end";
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(program.process.Get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

TEST(Program, ShowsItsWindowWithTheEmbeddedSkin) {
  Skin skin{};
  ASSERT_TRUE(ReadSkin(kSkinFile.data(), static_cast<std::uint32_t>(kSkinFile.size()), skin));
  StartedProgram program = StartProgram();
  ASSERT_TRUE(program.window) << "no window captioned Quillmere-免费版";
  const HWND list = GetDlgItem(program.window, kTrackingListId);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageW(list, LVM_GETBKCOLOR, 0, 0)),
            skin.colours[kSkinFieldBackground]);
  const HWND queryButton = GetDlgItem(program.window, kBatchQueryButtonId);
  EXPECT_EQ(GetWindowLongW(queryButton, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

  // The exit routine destroys the process-wide module with the library still mapped and attached.
  PostMessageW(program.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_EQ(WaitForSingleObject(program.process.Get(), kWindowWaitMs), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  ASSERT_TRUE(GetExitCodeProcess(program.process.Get(), &exitCode));
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace quillmere
