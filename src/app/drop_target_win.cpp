#include "app/drop_target_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "app/number_files.h"

namespace quillmere {
namespace {

constexpr UINT_PTR kSubclassId = 1;

}  // namespace

DropTarget::~DropTarget() {
  if (watched_ && IsWindow(watched_)) RemoveWindowSubclass(watched_, &WatchedWindowProcedure, kSubclassId);
}

bool DropTarget::Watch(HWND window) {
  if (!window ||
      !SetWindowSubclass(window, &WatchedWindowProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  watched_ = window;
  return true;
}

void DropTarget::AcceptFiles(bool accept) {
  if (watched_) DragAcceptFiles(watched_, accept ? TRUE : FALSE);
}

LRESULT CALLBACK DropTarget::WatchedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                    UINT_PTR, DWORD_PTR self) {
  if (message == WM_DROPFILES) {
    reinterpret_cast<DropTarget*>(self)->OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, &WatchedWindowProcedure, kSubclassId);
    reinterpret_cast<DropTarget*>(self)->watched_ = nullptr;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void DropTarget::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(path);
  }
  DragFinish(drop);
  if (!paths.empty()) onFiles_(DropEventText(paths));
}

}  // namespace quillmere
