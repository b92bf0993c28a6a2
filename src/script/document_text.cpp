#include "script/document_text.h"

#include <optional>
#include <string>

namespace quillmere {

namespace {

// Deeper nesting than this is refused rather than risk the stack of either parser.
constexpr int kMaxDepth = 256;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Length of the well-formed GBK two-byte character at the start of `rest`, or 0.
std::size_t GbkCharacterLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  if (lead < 0x81 || lead > 0xFE || rest.size() < 2) return 0;
  const auto trail = static_cast<unsigned char>(rest[1]);
  const bool validTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE);
  return validTrail ? 2 : 0;
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  // One value and nothing after it but white space. `stringContent` receives the raw inner bytes when the
  // value is a string.
  bool WholeValue(std::optional<std::string_view>& stringContent) {
    SkipSpace();
    if (AtEnd()) return true;
    const std::size_t start = position_;
    if (!Value(0)) return false;
    if (text_[start] == '"') stringContent = text_.substr(start + 1, position_ - start - 2);
    SkipSpace();
    return AtEnd();
  }

 private:
  bool AtEnd() const { return position_ >= text_.size(); }
  char Peek() const { return text_[position_]; }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(Peek())) ++position_;
  }

  bool Take(char c) {
    if (AtEnd() || Peek() != c) return false;
    ++position_;
    return true;
  }

  bool Value(int depth) {
    if (AtEnd() || depth > kMaxDepth) return false;
    switch (Peek()) {
      case '{':
        return Object(depth + 1);
      case '[':
        return Array(depth + 1);
      case '"':
        return String();
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default:
        return Number();
    }
  }

  bool Object(int depth) {
    ++position_;
    SkipSpace();
    if (Take('}')) return true;
    do {
      SkipSpace();
      if (AtEnd() || Peek() != '"' || !String()) return false;
      SkipSpace();
      if (!Take(':')) return false;
      SkipSpace();
      if (!Value(depth)) return false;
      SkipSpace();
    } while (Take(','));
    return Take('}');
  }

  bool Array(int depth) {
    ++position_;
    SkipSpace();
    if (Take(']')) return true;
    do {
      SkipSpace();
      if (!Value(depth)) return false;
      SkipSpace();
    } while (Take(','));
    return Take(']');
  }

  // A double-quoted string whose characters are ASCII other than CR and LF, well-formed GBK characters,
  // and a backslash followed by any one of those.
  bool String() {
    ++position_;
    while (!AtEnd()) {
      const char c = Peek();
      if (c == '"') {
        ++position_;
        return true;
      }
      if (c == '\\') {
        ++position_;
        if (AtEnd()) return false;
      }
      if (!Character()) return false;
    }
    return false;
  }

  bool Character() {
    const char c = Peek();
    if (c == '\r' || c == '\n') return false;
    if (static_cast<unsigned char>(c) < 0x80) {
      ++position_;
      return true;
    }
    const std::size_t length = GbkCharacterLength(text_.substr(position_));
    position_ += length;
    return length > 0;
  }

  bool Word(std::string_view word) {
    if (text_.substr(position_, word.size()) != word) return false;
    position_ += word.size();
    return true;
  }

  bool Digits() {
    const std::size_t start = position_;
    while (!AtEnd() && IsDigit(Peek())) ++position_;
    return position_ > start;
  }

  bool Number() {
    Take('-');
    if (!Take('0') && !Digits()) return false;
    if (Take('.') && !Digits()) return false;
    if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
      ++position_;
      if (!Take('+')) Take('-');
      if (!Digits()) return false;
    }
    return true;
  }

  std::string_view text_;
  std::size_t position_ = 0;
};

// The content of a string with its JSON escapes decoded, as far as the structure of the content goes: an
// escaped character beyond ASCII stands as one two-byte character. Nothing for any other escape.
std::optional<std::string> DecodedContent(std::string_view raw) {
  std::string content;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\') {
      content += raw[i];
      continue;
    }
    ++i;  // a string that passed the scanner never ends in a lone backslash
    switch (raw[i]) {
      case '"':
      case '\\':
      case '/':
        content += raw[i];
        break;
      case 'b':
        content += '\b';
        break;
      case 'f':
        content += '\f';
        break;
      case 'n':
        content += '\n';
        break;
      case 'r':
        content += '\r';
        break;
      case 't':
        content += '\t';
        break;
      case 'u': {
        if (raw.size() - i < 5) return std::nullopt;
        const std::string_view hex = raw.substr(i + 1, 4);
        for (const char h : hex) {
          if (!IsHexDigit(h)) return std::nullopt;
        }
        const unsigned long code = std::stoul(std::string(hex), nullptr, 16);
        content += code < 0x80 ? std::string(1, static_cast<char>(code)) : std::string("\xA1\xA1");
        i += 4;
        break;
      }
      default:
        return std::nullopt;
    }
  }
  return content;
}

}  // namespace

bool IsDocumentText(std::string_view text, bool direct) {
  std::optional<std::string_view> stringContent;
  if (!Scanner(text).WholeValue(stringContent)) return false;
  if (direct || !stringContent) return true;
  const std::optional<std::string> content = DecodedContent(*stringContent);
  return content && IsDocumentText(*content, true);
}

}  // namespace quillmere
