#include <windows.h>

#include "text/wide_text.h"

namespace quillmere {

std::wstring TextToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(kGbkCodePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

namespace {

// GBK has no character outside the basic plane. Each such character (a surrogate pair, or a lone surrogate)
// becomes one default character here; left to the conversion, Wine writes one for each half of a pair.
std::wstring WithoutSurrogates(std::wstring_view wide) {
  std::wstring result;
  result.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      const bool pair = c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
      if (pair) ++i;
      result += L'?';
    } else {
      result += c;
    }
  }
  return result;
}

// Combining marks are what WC_COMPOSITECHECK joins with the character before them. Without any, the flag
// changes nothing, and leaving it out keeps a long text fast (under Wine the check costs seven times the
// conversion itself).
bool HasCombiningMarks(std::wstring_view wide) {
  for (wchar_t c : wide) {
    if ((c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
        (c >= 0x20D0 && c <= 0x20FF) || (c >= 0x3099 && c <= 0x309A) || (c >= 0xFE20 && c <= 0xFE2F)) {
      return true;
    }
  }
  return false;
}

}  // namespace

Text WideToText(std::wstring_view original) {
  const std::wstring wide = WithoutSurrogates(original.substr(0, original.find(L'\0')));
  if (wide.empty()) return Text();
  const int size = static_cast<int>(wide.size());
  const DWORD flags = HasCombiningMarks(wide) ? WC_COMPOSITECHECK : 0;
  const int length =
      WideCharToMultiByte(kGbkCodePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  Text text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kGbkCodePage, flags, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace quillmere
