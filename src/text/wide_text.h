// The one pair of conversions between the program's GBK texts and the UTF-16 of the Windows interfaces.
// Code page 936 is named explicitly, so the result does not depend on the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace quillmere {

inline constexpr unsigned kGbkCodePage = 936;

// The text read as code page 936. The wide string's own terminator serves where a terminated string is
// wanted.
std::wstring TextToWide(std::string_view text);

// The characters up to the first zero character, in code page 936; a character without a GBK form becomes
// the code page's default character.
Text WideToText(std::wstring_view wide);

}  // namespace quillmere
