// Helpers that cut texts at markers, built on the primitives of text.h.
#pragma once

#include "text/text.h"

namespace quillmere {

// The text between the first `left` at or after `start` and the first `right` after it; empty when either is
// missing. Every "#引号" in either marker stands for a double quote.
Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start = 0,
                 bool ignoreCase = false);

// Every byte in front of an occurrence of `marker`: the first one at or after `position` when it is 0 or
// more; for -k the last one inside the first (length - k) bytes, where -1 counts as the whole text.
Text TextBefore(std::string_view text, std::string_view marker, int position = 0, bool ignoreCase = false);

// Every byte after an occurrence of `marker`: the last one by default, the last one outside the final
// `position` bytes when it is above 0, and the first one at or after -position when it is below 0.
Text TextAfter(std::string_view text, std::string_view marker, int position = 0, bool ignoreCase = false);

// Capitalises every header name of a "\r\n"-separated block word by word and drops lines without a colon.
Text NormaliseHeaderNames(std::string_view headerBlock);

Text CapitaliseFirst(std::string_view word);

// The trimmed text after the first colon; empty when there is none.
Text ValueAfterColon(std::string_view text);

// "#引号" stands for a double quote in markers and patterns that are awkward to write with one.
inline constexpr std::string_view kQuoteMarker = "#引号";

}  // namespace quillmere
