// Merging the cookies a caller holds with the cookies a reply set, as "name=value; name=value" texts.
// No date, domain or path is looked at: the only removal rule is a value of "deleted".
#pragma once

#include <optional>
#include <string_view>

#include "text/text.h"

namespace quillmere {

// The caller's next cookie text: every cookie the reply set, in its order, then the held cookies whose names
// the reply did not set, in theirs; entries ending in "=deleted" are dropped and exact repeats removed. The
// result is also written into `oldCookies`; `newCookies` is left trimmed.
Text MergeCookies(Text& oldCookies, Text& newCookies);

// The trimmed bytes in front of the first "=" of a name=value pair (the whole pair when it has none).
Text CookieName(std::string_view pair);

// The pieces of `text` split on `separator`, each distinct piece at its first occurrence, joined again.
Text UniqueParts(std::string_view text, std::string_view separator);

// The name=value pair a reply's "Set-Cookie" header line sets, its attributes dropped; nothing for any other
// line (a lower-case set-cookie line among them).
std::optional<Text> SetCookieOf(std::string_view headerLine);

}  // namespace quillmere
