// Drives the real main window in the test process as a user's input would reach it (button clicks, menu
// commands, the real clipboard) and reads the tracking list back through the report list control itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_win.h"

namespace quillmere {

class RecordingWindowEvents : public MainWindowEvents {
 public:
  void OnWindowCreated(MainWindow&) override { ++created; }
  void OnWindowDestroyed() override { ++destroyed; }
  int created = 0;
  int destroyed = 0;
};

// Waits until a message arrives for this thread (a sent one included) or a millisecond has passed, as the
// program's message loop waits.
inline void WaitForMessages() {
  MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

class MainWindowDriver {
 public:
  explicit MainWindowDriver(MainWindowEvents& events,
                            std::string_view trackingEndpointBase = kTrackingEndpointBase);

  MainWindow& Window() { return *window_; }
  HWND Handle() const { return window_->Handle(); }
  HWND Control(ControlId id) const { return window_->Control(id); }
  HWND List() const { return Control(kTrackingListId); }

  void Click(ControlId button);
  void Choose(MenuCommandId command);
  void TypeNumber(const std::wstring& text);
  std::wstring ControlText(ControlId id) const;

  int RowCount() const;
  std::wstring Cell(int row, int column) const;
  std::vector<std::wstring> Column(int column) const;
  void Select(std::initializer_list<int> rows);

  // Runs the window's waiting messages until `done` holds or `timeoutMs` has passed.
  template <typename Condition>
  bool PumpUntil(Condition done, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
      if (GetTickCount64() > deadline) return false;
      window_->RunWaitingMessages();
      WaitForMessages();
    }
    return true;
  }

 private:
  std::unique_ptr<MainWindow> window_;
};

// Waits for `future` while the window thread keeps running its messages, as the program's message loop
// would: a dialog owned by the window, shown from another thread, needs the window thread to close.
template <typename Result>
Result PumpUntilReady(MainWindow& window, std::future<Result>& future, DWORD timeoutMs = 60000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (future.wait_for(std::chrono::seconds(0)) != std::future_status::ready &&
         GetTickCount64() < deadline) {
    window.RunWaitingMessages();
    WaitForMessages();
  }
  return future.get();
}

// The clipboard as Unicode text; nullopt-like "absent" is told by `hasText`.
struct ClipboardContent {
  bool hasText = false;
  std::wstring text;
};
ClipboardContent ReadUnicodeClipboard();

// Posts `target` a real WM_DROPFILES naming `paths`, as the shell does when files are dropped on it.
void PostDroppedFiles(HWND target, const std::vector<std::wstring>& paths);
void WriteUnicodeClipboard(const std::wstring& text);

}  // namespace quillmere
