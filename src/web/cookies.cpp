#include "web/cookies.h"

#include <algorithm>

#include "text/markers.h"

namespace quillmere {

namespace {

// A final ";" gets a space after it, so that it splits off cleanly on "; ".
void TrimForSplitting(Text& cookies) {
  cookies = TrimSpaces(cookies);
  if (RightText(cookies, 1) == ";") cookies += ' ';
}

Text JoinText(const TextList& pieces, std::string_view separator) {
  Text joined;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += separator;
    joined += pieces[i];
  }
  return joined;
}

}  // namespace

Text MergeCookies(Text& oldCookies, Text& newCookies) {
  TrimForSplitting(oldCookies);
  TrimForSplitting(newCookies);
  TextList merged = SplitText(newCookies, "; ");
  for (const Text& oldPart : SplitText(oldCookies, "; ")) {
    const Text name = CookieName(oldPart);
    const bool named = std::any_of(merged.begin(), merged.end(),
                                   [&name](const Text& entry) { return CookieName(entry) == name; });
    if (!named) merged.push_back(oldPart);
  }
  TextList kept;
  for (const Text& entry : merged) {
    if (RightText(entry, 8) != "=deleted") kept.push_back(entry);
  }
  oldCookies = UniqueParts(JoinText(kept, "; "), "; ");
  return oldCookies;
}

Text CookieName(std::string_view pair) {
  const int equalsAt = FindText(pair, "=");
  return TrimSpaces(equalsAt > 0 ? LeftText(pair, equalsAt - 1) : Text(pair));
}

Text UniqueParts(std::string_view text, std::string_view separator) {
  TextList unique;
  for (Text& piece : SplitText(text, separator)) {
    if (std::find(unique.begin(), unique.end(), piece) == unique.end()) unique.push_back(std::move(piece));
  }
  return JoinText(unique, separator);
}

std::optional<Text> SetCookieOf(std::string_view headerLine) {
  if (TextBefore(headerLine, ": ") != "Set-Cookie") return std::nullopt;
  if (FindText(headerLine, ";") > 0) return TrimSpaces(TextBetween(headerLine, "Set-Cookie:", ";"));
  return TrimSpaces(ReplaceText(headerLine, "Set-Cookie:", "", false));
}

}  // namespace quillmere
