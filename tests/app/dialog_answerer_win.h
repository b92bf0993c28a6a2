// Answers this process's dialogs and message boxes from a thread of the test, as a user would: finds the
// dialog window, reads it, types a file name, presses a button.
#pragma once

#include <windows.h>

#include <string>

namespace quillmere {

bool IsFileDialog(HWND dialog);

// The first visible file dialog of this process, or null after `timeoutMs`.
HWND WaitForFileDialog(DWORD timeoutMs = 10000);
// The first visible message box (a dialog that is not a file dialog) of this process other than `previous`,
// or null after `timeoutMs`.
HWND WaitForMessageBox(DWORD timeoutMs = 10000, HWND previous = nullptr);
std::wstring FileNameBoxText(HWND dialog);
void TypeFileName(HWND dialog, const std::wstring& name);

struct MessageBoxContent {
  std::wstring caption;
  std::wstring text;
  HICON icon = nullptr;
};
MessageBoxContent ReadMessageBox(HWND box);

// Presses the dialog's button `id` (IDOK, IDCANCEL, IDYES).
void PressButton(HWND dialog, int id);
// Waits until the dialog is gone or hidden; false after `timeoutMs`.
bool WaitUntilClosed(HWND dialog, DWORD timeoutMs = 10000);

}  // namespace quillmere
