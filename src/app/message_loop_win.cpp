#include "app/message_loop_win.h"

namespace quillmere {
namespace {

void Dispatch(HWND window, MSG& message) {
  if (window && IsDialogMessageW(window, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace

void PumpWaitingMessages(HWND window) {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the outer loop, which ends on it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Dispatch(IsWindow(window) ? window : nullptr, message);
  }
}

void PumpWaitingMessages() { PumpWaitingMessages(GetActiveWindow()); }

int RunMessageLoop(HWND window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(IsWindow(window) ? window : nullptr, message);
  return static_cast<int>(message.wParam);
}

}  // namespace quillmere
