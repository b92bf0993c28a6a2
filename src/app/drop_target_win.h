// The window's drop target for files: it watches one window (the tracking list) and reports the files
// dropped on it as one event text. Dropped data of other kinds has no effect.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace quillmere {

class DropTarget {
 public:
  using FileEvent = std::function<void(const std::wstring& eventText)>;

  explicit DropTarget(FileEvent onFiles) : onFiles_(std::move(onFiles)) {}
  ~DropTarget();
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;

  // Starts watching `window`; false when it cannot be watched.
  bool Watch(HWND window);
  // Switches the watched window's acceptance of dropped files on or off.
  void AcceptFiles(bool accept);

 private:
  static LRESULT CALLBACK WatchedWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                 UINT_PTR id, DWORD_PTR self);
  void OnDropFiles(HDROP drop);

  FileEvent onFiles_;
  HWND watched_ = nullptr;
};

}  // namespace quillmere
