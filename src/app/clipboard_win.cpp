#include "app/clipboard_win.h"

#include <cstring>

#include "app/window_handles_win.h"
#include "text/wide_text.h"

namespace quillmere {
namespace {

// Another program may hold the clipboard for a moment; it is tried a few times before giving up.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryPauseMs = 10;

class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner) {
    for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(kOpenRetryPauseMs);
    }
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace

Text ReadClipboardText(HWND owner) {
  OpenClipboardScope clipboard(owner);
  if (!clipboard.IsOpen()) return Text();
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return Text();
  const auto* wide = static_cast<const wchar_t*>(GlobalLock(data));
  if (!wide) return Text();
  // The data may lack its terminator; it is read no further than its allocation.
  const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
  const Text text = WideToText(std::wstring_view(wide, wcsnlen(wide, capacity)));
  GlobalUnlock(data);
  return text;
}

bool WriteClipboardText(HWND owner, std::string_view text) {
  const std::wstring wide = TextToWide(text);
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = GlobalLock(memory.Get());
  if (!target) return false;
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory.Get());

  OpenClipboardScope clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_UNICODETEXT, memory.Get())) return false;
  memory.Release();  // the clipboard owns the memory from here on
  return true;
}

}  // namespace quillmere
