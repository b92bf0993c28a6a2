// The test a document text passes before a JSON document object runs it as script. A document arrives from
// outside (a reply from the network, for one), and the engine it runs in can create any automation object;
// only a text that can do nothing but build a value is run.
#pragma once

#include <string_view>

namespace quillmere {

// True for one JSON value with white space around it, and for a text of white space only (which builds
// nothing). Strings may hold any script escape, as the engine reads them: a backslash followed by any one
// character. Every byte of 0x80 or more must be part of a well-formed GBK character inside a string. When
// the text is run through eval (`direct` false), a text that is a string is run once more, so the string's
// content, with its JSON escapes decoded, must pass too and may hold no other escape.
bool IsDocumentText(std::string_view text, bool direct);

}  // namespace quillmere
