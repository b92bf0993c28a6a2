#include <windows.h>

#include "text/utf8_text.h"

#include "text/wide_text.h"

namespace quillmere {

Text Utf8ToText(std::string_view utf8) {
  if (utf8.empty()) return Text();
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (length == 0) return Text();
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
  return WideToText(wide);
}

}  // namespace quillmere
