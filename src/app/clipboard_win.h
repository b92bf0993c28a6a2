// The clipboard's text, read and written as Unicode text and converted from and to GBK, so that Chinese
// numbers survive whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

#include "text/text.h"

namespace quillmere {

// Empty when the clipboard holds no text or cannot be opened.
Text ReadClipboardText(HWND owner);

// Empties the clipboard and puts `text` on it; an empty text leaves an empty text there.
bool WriteClipboardText(HWND owner, std::string_view text);

}  // namespace quillmere
