// The text toolkit's primitives. A text is a GBK byte string without zero bytes. Positions are 1-based byte
// positions; a byte of 0x80 or more and the byte after it form one two-byte character that no search matches
// across. Case folding touches the ASCII letters only.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillmere {

using Text = std::string;
using TextList = std::vector<Text>;

// Position of the first occurrence at or after `start` (1 or less means the first byte), -1 when there is
// none. An empty needle gives 1 when a byte lies at or after `start`.
int FindText(std::string_view text, std::string_view needle, int start = 1, bool ignoreCase = false);

// Position of the last occurrence lying wholly inside the first (start - 1) bytes, or the whole text when
// `start` is absent or past the end; -1 when there is none.
int FindTextReverse(std::string_view text, std::string_view needle, std::optional<int> start = std::nullopt,
                    bool ignoreCase = false);

// Every occurrence that starts at a character start is replaced; the scan resumes after the replacement.
Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement = {},
                 bool caseSensitive = true);

// Pieces between delimiters; empty pieces are kept except the one after a final delimiter.
TextList SplitText(std::string_view text, std::string_view delimiter);

// Removes ASCII spaces and full-width spaces (A1 A1) at both ends.
Text TrimSpaces(std::string_view text);

Text LeftText(std::string_view text, int count);
Text RightText(std::string_view text, int count);
Text MidText(std::string_view text, int start, int count);
Text ToUpperAscii(std::string_view text);
Text ToLowerAscii(std::string_view text);

// The leading decimal integer after leading white space and an optional sign; 0 without digits.
int TextToInt(std::string_view text);

// Length in bytes of the character that starts at `index`: 2 for a lead byte of 0x80 or more, else 1.
inline std::size_t CharacterLength(std::string_view text, std::size_t index) {
  return static_cast<unsigned char>(text[index]) >= 0x80 ? 2 : 1;
}

inline int TextLength(std::string_view text) { return static_cast<int>(text.size()); }

}  // namespace quillmere
