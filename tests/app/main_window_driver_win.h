// Drives the real main window in the test process as a user's input would reach it (button clicks, menu
// commands, the real clipboard) and reads the tracking list back through the report list control itself.
#pragma once

#include <windows.h>
#include <commctrl.h>

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
      Sleep(1);
    }
    return true;
  }

 private:
  std::unique_ptr<MainWindow> window_;
};

// The clipboard as Unicode text; nullopt-like "absent" is told by `hasText`.
struct ClipboardContent {
  bool hasText = false;
  std::wstring text;
};
ClipboardContent ReadUnicodeClipboard();
void WriteUnicodeClipboard(const std::wstring& text);

}  // namespace quillmere
