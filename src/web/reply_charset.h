// The last step of a WebRequest reply: a page whose first 1024 bytes declare a charset in a meta tag, other
// than the two GBK names, is decoded again from that charset and converted to GBK.
#pragma once

#include <string_view>

#include "script/regex_matcher.h"
#include "text/text.h"

namespace quillmere {

// `replyBytes` is the whole reply body with its own length; `replyText` is that body read as GBK, and is
// replaced by the body decoded from the declared charset. Pending window messages run before it returns.
void DecodeReplyCharset(RegexMatcher& matcher, std::string_view replyBytes, Text& replyText);

}  // namespace quillmere
