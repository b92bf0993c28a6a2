#include "app/dpi_win.h"

#include "app/main_form.h"

namespace quillmere {
namespace {

template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int DeviceDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : MainForm::kFormDpi;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : MainForm::kFormDpi;
}

}  // namespace

int SystemDpi() {
  static const auto getDpiForSystem = User32Function<UINT(WINAPI*)()>("GetDpiForSystem");
  if (getDpiForSystem) return static_cast<int>(getDpiForSystem());
  return DeviceDpi();
}

int DpiForWindow(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const int dpi = getDpiForWindow ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : SystemDpi();
}

}  // namespace quillmere
