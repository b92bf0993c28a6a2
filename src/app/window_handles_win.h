// Owners of the window-system handles the program creates.
#pragma once

#include <windows.h>

#include "native/unique_handle.h"

namespace quillmere {

inline void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

using UniqueWindow = UniqueHandle<HWND, &DestroyWindow>;
using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
using UniqueFont = UniqueHandle<HFONT, &DeleteGdiObject>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &GlobalFree>;

}  // namespace quillmere
