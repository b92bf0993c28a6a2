#include "app/dialog_answerer_win.h"

#include <commdlg.h>
#include <dlgs.h>

namespace quillmere {
namespace {

struct Search {
  bool fileDialog;
  HWND previous;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (processId == GetCurrentProcessId() && window != search->previous && IsWindowVisible(window) &&
      std::wstring(className) == L"#32770" && IsFileDialog(window) == search->fileDialog) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitFor(bool fileDialog, DWORD timeoutMs, HWND previous) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  do {
    Search search = {fileDialog, previous, nullptr};
    EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    Sleep(20);
  } while (GetTickCount64() < deadline);
  return nullptr;
}

// The file name box: a combo box in the dialogs of the explorer style, an edit box in the older ones.
HWND FileNameBox(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  return box ? box : GetDlgItem(dialog, edt1);
}

BOOL CALLBACK FindIcon(HWND child, LPARAM context) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (std::wstring(className) == L"Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HICON*>(context) = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
  }
  return TRUE;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

HWND WaitForFileDialog(DWORD timeoutMs) { return WaitFor(true, timeoutMs, nullptr); }

HWND WaitForMessageBox(DWORD timeoutMs, HWND previous) { return WaitFor(false, timeoutMs, previous); }

bool IsFileDialog(HWND dialog) { return FileNameBox(dialog) != nullptr; }

std::wstring FileNameBoxText(HWND dialog) { return WindowText(FileNameBox(dialog)); }

void TypeFileName(HWND dialog, const std::wstring& name) {
  SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

MessageBoxContent ReadMessageBox(HWND box) {
  MessageBoxContent content;
  content.caption = WindowText(box);
  content.text = WindowText(GetDlgItem(box, 0xFFFF));
  EnumChildWindows(box, &FindIcon, reinterpret_cast<LPARAM>(&content.icon));
  return content;
}

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool WaitUntilClosed(HWND dialog, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (IsWindow(dialog) && IsWindowVisible(dialog)) {
    if (GetTickCount64() > deadline) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace quillmere
