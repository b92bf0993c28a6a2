#include "app/main_window_driver_win.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

namespace quillmere {
namespace {

// Large enough for every cell a test writes; the control hands over no more than this.
constexpr std::size_t kCellBufferChars = 1 << 16;

class ClipboardScope {
 public:
  ClipboardScope() {
    for (int attempt = 0; attempt < 50 && !open_; ++attempt) {
      open_ = OpenClipboard(nullptr) != FALSE;
      if (!open_) Sleep(10);
    }
  }
  ~ClipboardScope() {
    if (open_) CloseClipboard();
  }
  bool open_ = false;
};

}  // namespace

MainWindowDriver::MainWindowDriver(MainWindowEvents& events, std::string_view trackingEndpointBase)
    : window_(MainWindow::Create(GetModuleHandleW(nullptr), events, trackingEndpointBase)) {
  if (!window_) ADD_FAILURE() << "the main window was not created";
}

void MainWindowDriver::Click(ControlId button) { SendMessageW(Control(button), BM_CLICK, 0, 0); }

void MainWindowDriver::Choose(MenuCommandId command) {
  SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void MainWindowDriver::TypeNumber(const std::wstring& text) {
  SetWindowTextW(Control(kNumberEditId), text.c_str());
}

std::wstring MainWindowDriver::ControlText(ControlId id) const {
  wchar_t text[512] = {};
  GetWindowTextW(Control(id), text, 512);
  return text;
}

int MainWindowDriver::RowCount() const {
  return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0));
}

std::wstring MainWindowDriver::Cell(int row, int column) const {
  std::vector<wchar_t> buffer(kCellBufferChars, L'\0');
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  SendMessageW(List(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer.data();
}

std::vector<std::wstring> MainWindowDriver::Column(int column) const {
  std::vector<std::wstring> cells;
  for (int row = 0; row < RowCount(); ++row) cells.push_back(Cell(row, column));
  return cells;
}

void MainWindowDriver::Select(std::initializer_list<int> rows) {
  LVITEMW none = {};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  for (int row : rows) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
}

ClipboardContent ReadUnicodeClipboard() {
  ClipboardScope clipboard;
  ClipboardContent content;
  HANDLE data = clipboard.open_ ? GetClipboardData(CF_UNICODETEXT) : nullptr;
  if (!data) return content;
  const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
  content.hasText = text != nullptr;
  if (text) content.text = text;
  GlobalUnlock(data);
  return content;
}

void WriteUnicodeClipboard(const std::wstring& text) {
  ClipboardScope clipboard;
  ASSERT_TRUE(clipboard.open_);
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::memcpy(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, memory));
}

void PostDroppedFiles(HWND target, const std::vector<std::wstring>& paths) {
  std::size_t chars = 1;
  for (const std::wstring& path : paths) chars += path.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(drop + 1);
  for (const std::wstring& path : paths) {
    std::memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    names += path.size() + 1;
  }
  GlobalUnlock(memory);
  PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the receiver frees it
}

}  // namespace quillmere
