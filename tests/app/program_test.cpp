// The built program, started as a process of its own and closed as a user closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "native/unique_handle.h"

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

}  // namespace
}  // namespace quillmere
