// Pastes 100,000 and then 1,000,000 numbers through the real paste command of the real window and prints
// how long they took to be visible and how much memory the process gained. Run by hand under Wine:
//   tools/with-wine "$PWD/build/win32/wineprefix" wine build/win32/tests/app/paste_benchmark.exe
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/main_window_win.h"
#include "app/seconds_win.h"

namespace quillmere {
namespace {

class NoEvents : public MainWindowEvents {
  void OnWindowCreated(MainWindow&) override {}
  void OnWindowDestroyed() override {}
};

std::wstring NumbersText(int count) {
  std::wstring text;
  text.reserve(static_cast<std::size_t>(count) * 17);
  for (int i = 0; i < count; ++i) {
    wchar_t line[32];
    swprintf(line, 32, L"SF%013d\r\n", 1000000 + i);
    text += line;
  }
  return text;
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
  OpenClipboard(owner);
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// Private committed bytes. Wine leaves PrivateUsage at 0 but fills PagefileUsage with the same figure.
double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

void Measure(MainWindow& window, int count) {
  SendMessageW(window.Handle(), WM_COMMAND, kClearAllCommand, 0);
  {
    // The clipboard text is made and handed over before measuring; it is the user's, not the program's.
    PutOnClipboard(window.Handle(), NumbersText(count));
  }
  const double before = PrivateMegabytes();
  const double start = Seconds();
  SendMessageW(window.Handle(), WM_COMMAND, kPasteNumbersCommand, 0);
  HWND list = window.Control(kTrackingListId);
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
  RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double end = Seconds();
  const double after = PrivateMegabytes();
  const double seconds = end - start;
  std::printf("%9d numbers: visible after %.3f s; private memory %+.1f MB; rows shown: %d\n", count, seconds,
              after - before, static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
}

}  // namespace
}  // namespace quillmere

int main() {
  quillmere::NoEvents events;
  std::unique_ptr<quillmere::MainWindow> window =
      quillmere::MainWindow::Create(GetModuleHandleW(nullptr), events);
  if (!window) return 1;
  quillmere::Measure(*window, 100000);
  quillmere::Measure(*window, 1000000);
  return 0;
}
