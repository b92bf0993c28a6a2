// Texts that arrive in UTF-8 (reply bodies), read into the program's GBK.
#pragma once

#include <string_view>

#include "text/text.h"

namespace quillmere {

// The bytes read as UTF-8 and written in GBK, up to the first zero character. Bytes that are not valid UTF-8
// give an empty text; a character that GBK cannot represent (an emoji, say) becomes "?" and the rest is kept.
Text Utf8ToText(std::string_view utf8);

}  // namespace quillmere
