// The progress of a batch query on the window's taskbar button (ITaskbarList3).
#pragma once

#include <windows.h>
#include <shobjidl.h>

#include "script/com.h"

namespace quillmere {

class TaskbarProgress {
 public:
  // Made on the window thread; the taskbar object is asked for when progress is first shown.
  TaskbarProgress() = default;
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // `done` of `total` in the normal (green) state. False when the taskbar cannot be reached.
  bool Show(HWND window, int done, int total);
  // No progress on the button any more.
  bool Clear(HWND window);

 private:
  bool Reach();

  ComApartment apartment_;
  ComPtr<ITaskbarList3> taskbar_;
};

}  // namespace quillmere
