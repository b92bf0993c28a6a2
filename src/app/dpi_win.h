// The DPI of the display a window is on. The per-monitor functions are looked up at run time, so the program
// still starts on systems that lack them; it then uses the system DPI.
#pragma once

#include <windows.h>

namespace quillmere {

int SystemDpi();
int DpiForWindow(HWND window);

}  // namespace quillmere
