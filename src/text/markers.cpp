#include "text/markers.h"

namespace quillmere {

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text effectiveLeft = ReplaceText(left, kQuoteMarker, "\"");
  const Text effectiveRight = ReplaceText(right, kQuoteMarker, "\"");
  const int leftAt = FindText(text, effectiveLeft, start, ignoreCase);
  if (leftAt < 0) return Text();
  const int innerStart = leftAt + TextLength(effectiveLeft);
  const int rightAt = FindText(text, effectiveRight, innerStart, ignoreCase);
  if (rightAt < 0) return Text();
  return MidText(text, innerStart, rightAt - innerStart);
}

Text TextBefore(std::string_view text, std::string_view marker, int position, bool ignoreCase) {
  int found;
  if (position >= 0) {
    found = FindText(text, marker, position, ignoreCase);
  } else {
    const int ignoredTail = position == -1 ? 0 : -position;
    found = FindTextReverse(text, marker, TextLength(text) - ignoredTail + 1, ignoreCase);
  }
  if (found < 0) return Text();
  return LeftText(text, found - 1);
}

Text TextAfter(std::string_view text, std::string_view marker, int position, bool ignoreCase) {
  const int found = position < 0 ? FindText(text, marker, -position, ignoreCase)
                                 : FindTextReverse(text, marker, TextLength(text) - position + 1, ignoreCase);
  if (found < 0) return Text();
  return RightText(text, TextLength(text) - TextLength(marker) - found + 1);
}

Text NormaliseHeaderNames(std::string_view headerBlock) {
  Text output;
  for (const Text& line : SplitText(headerBlock, "\r\n")) {
    const int colonAt = FindText(line, ":");
    if (colonAt < 0) continue;
    const Text name = LeftText(line, colonAt - 1);
    Text rebuilt;
    if (FindText(name, "-") > 0) {
      const TextList words = SplitText(name, "-");
      for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) rebuilt += '-';
        rebuilt += CapitaliseFirst(words[i]);
      }
    } else {
      rebuilt = CapitaliseFirst(name);
    }
    // Dashes that end the name are not in `rebuilt`; they travel with the rest of the line.
    output += rebuilt;
    output += RightText(line, TextLength(line) - TextLength(rebuilt));
    output += "\r\n";
  }
  if (!output.empty()) output.resize(output.size() - 2);
  return output;
}

Text CapitaliseFirst(std::string_view word) {
  if (word.empty()) return Text();
  return ToUpperAscii(word.substr(0, 1)) + Text(word.substr(1));
}

Text ValueAfterColon(std::string_view text) {
  const int colonAt = FindText(text, ":");
  if (colonAt < 0) return Text();
  return TrimSpaces(RightText(text, TextLength(text) - colonAt));
}

}  // namespace quillmere
