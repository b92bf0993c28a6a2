#include "text/text.h"

#include <algorithm>
#include <climits>

namespace quillmere {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares from a character start; with ignoreCase only single-byte characters fold, the two bytes of a
// two-byte character compare exactly.
bool MatchesAt(std::string_view text, std::size_t index, std::string_view needle, bool ignoreCase) {
  if (index + needle.size() > text.size()) return false;
  if (!ignoreCase) return text.compare(index, needle.size(), needle) == 0;
  for (std::size_t k = 0; k < needle.size();) {
    const std::size_t length = CharacterLength(text, index + k);
    if (length == 1) {
      if (FoldAscii(text[index + k]) != FoldAscii(needle[k])) return false;
    } else if (text.compare(index + k, std::min(length, needle.size() - k), needle.substr(k, length)) != 0) {
      return false;
    }
    k += length;
  }
  return true;
}

template <typename Map>
Text MapSingleByteCharacters(std::string_view text, Map map) {
  Text result(text);
  for (std::size_t i = 0; i < result.size(); i += CharacterLength(result, i)) result[i] = map(result[i]);
  return result;
}

}  // namespace

int FindText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
  const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
  if (from >= text.size()) return -1;
  if (needle.empty()) return 1;
  for (std::size_t i = from; i + needle.size() <= text.size(); i += CharacterLength(text, i)) {
    if (MatchesAt(text, i, needle, ignoreCase)) return static_cast<int>(i) + 1;
  }
  return -1;
}

int FindTextReverse(std::string_view text, std::string_view needle, std::optional<int> start,
                    bool ignoreCase) {
  std::size_t considered = text.size();
  if (start && *start <= static_cast<int>(text.size())) {
    considered = *start <= 1 ? 0 : static_cast<std::size_t>(*start) - 1;
  }
  if (considered == 0) return -1;
  if (needle.empty()) return 1;
  const std::string_view part = text.substr(0, considered);
  int last = -1;
  for (std::size_t i = 0; i + needle.size() <= part.size(); i += CharacterLength(part, i)) {
    if (MatchesAt(part, i, needle, ignoreCase)) last = static_cast<int>(i) + 1;
  }
  return last;
}

Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 bool caseSensitive) {
  if (text.empty() || find.empty()) return Text(text);
  Text result;
  result.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, find, !caseSensitive)) {
      result += replacement;
      i += find.size();
      continue;
    }
    const std::size_t length = std::min(CharacterLength(text, i), text.size() - i);
    result.append(text.substr(i, length));
    i += length;
  }
  return result;
}

TextList SplitText(std::string_view text, std::string_view delimiter) {
  TextList pieces;
  if (text.empty()) return pieces;
  if (delimiter.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  std::size_t pieceStart = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (MatchesAt(text, i, delimiter, false)) {
      pieces.emplace_back(text.substr(pieceStart, i - pieceStart));
      i += delimiter.size();
      pieceStart = i;
    } else {
      i += CharacterLength(text, i);
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

Text TrimSpaces(std::string_view text) {
  // Characters are read from the first byte on, so a full-width space is only recognised where it starts a
  // character; the end of the last character that is not a space ends the result.
  std::size_t begin = 0;
  std::size_t end = 0;
  bool seenOther = false;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = std::min(CharacterLength(text, i), text.size() - i);
    const bool isSpace = text[i] == ' ' || (length == 2 && text[i] == '\xA1' && text[i + 1] == '\xA1');
    if (!isSpace) {
      if (!seenOther) begin = i;
      seenOther = true;
      end = i + length;
    }
    i += length;
  }
  return seenOther ? Text(text.substr(begin, end - begin)) : Text();
}

Text LeftText(std::string_view text, int count) {
  if (count <= 0) return Text();
  return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text RightText(std::string_view text, int count) {
  if (count <= 0) return Text();
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(count));
  return Text(text.substr(text.size() - n));
}

Text MidText(std::string_view text, int start, int count) {
  if (count <= 0 || start < 1 || static_cast<std::size_t>(start) > text.size()) return Text();
  return Text(text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(count)));
}

Text ToUpperAscii(std::string_view text) {
  return MapSingleByteCharacters(
      text, [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
}

Text ToLowerAscii(std::string_view text) { return MapSingleByteCharacters(text, FoldAscii); }

int TextToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturates instead of overflowing
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  return static_cast<int>(value);
}

}  // namespace quillmere
