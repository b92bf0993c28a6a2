#include "app/taskbar_progress_win.h"

namespace quillmere {

bool TaskbarProgress::Reach() {
  if (taskbar_) return true;
  ComPtr<ITaskbarList3> taskbar;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(taskbar.Put())))) {
    return false;
  }
  if (FAILED(taskbar->HrInit())) return false;
  taskbar_ = taskbar;
  return true;
}

bool TaskbarProgress::Show(HWND window, int done, int total) {
  if (!Reach()) return false;
  return SUCCEEDED(taskbar_->SetProgressState(window, TBPF_NORMAL)) &&
         SUCCEEDED(
             taskbar_->SetProgressValue(window, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total)));
}

bool TaskbarProgress::Clear(HWND window) {
  return taskbar_ && SUCCEEDED(taskbar_->SetProgressState(window, TBPF_NOPROGRESS));
}

}  // namespace quillmere
