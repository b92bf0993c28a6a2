#include "startup/update_note.h"

#include "text/markers.h"

namespace quillmere {

namespace {

// Every byte on its own, trail bytes of two-byte characters included: the search does not know characters.
Text LowerAsciiBytes(std::string_view text) {
  Text lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

// A text ends at its first zero byte.
std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

int IndexOfText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
  text = UpToZero(text);
  needle = UpToZero(needle);
  if (text.empty() || needle.empty()) return -1;
  if (start < 1) start = 1;
  if (static_cast<std::size_t>(start) > text.size()) return -1;
  const std::size_t found = ignoreCase ? LowerAsciiBytes(text).find(LowerAsciiBytes(needle), start - 1)
                                       : text.find(needle, static_cast<std::size_t>(start) - 1);
  return found == std::string_view::npos ? -1 : static_cast<int>(found) + 1;
}

int CollectBetween(std::string_view text, std::string_view left, std::string_view right, TextList& items,
                   bool ignoreCase, int maximumLength, std::string_view prefix, std::string_view suffix,
                   bool withLeft, bool withRight, int start, const std::function<void()>& afterEachItem) {
  items.clear();
  int position = start == 0 ? 1 : start;
  for (;;) {
    const int leftAt = FindText(text, left, position, ignoreCase);
    if (leftAt < 0) break;
    position = leftAt + TextLength(left);
    const int rightAt = FindText(text, right, position, ignoreCase);
    if (rightAt < 0) break;
    Text item = Text(prefix) + MidText(text, position, rightAt - position) + Text(suffix);
    if (withLeft) item = Text(left) + item;
    if (withRight) item += Text(right);
    if (maximumLength == 0 || TextLength(item) < maximumLength) items.push_back(std::move(item));
    afterEachItem();
    // A left marker inside this inner text starts an item of its own.
    position = leftAt + 1;
  }
  return static_cast<int>(items.size());
}

Text NoteIdentifier(std::string_view shareAddress) {
  Text identifier = TextAfter(shareAddress, "id=", 0, true);
  if (IndexOfText(identifier, "&", 1, true) > 0) identifier = TextBefore(identifier, "&", 0, true);
  return identifier;
}

Text NoteText(std::string_view noteHtml, const std::function<void()>& afterEachParagraph) {
  TextList paragraphs;
  CollectBetween(noteHtml, kParagraphOpeningTag, kParagraphClosingTag, paragraphs, true, 0, {}, "\r\n", false,
                 false, 0, afterEachParagraph);
  Text joined;
  for (const Text& paragraph : paragraphs) joined += paragraph;
  return joined;
}

UpdateNote ReadNoteFields(std::string_view noteText) {
  return {
      TextBetween(noteText, "banbenhao“", "”banbenhao"),
      TextBetween(noteText, "xiazai“", "”xiazai"),
      TextBetween(noteText, "neirong“", "”neirong"),
  };
}

Text UpdateQuestion(const UpdateNote& note, std::string_view currentVersion) {
  return note.notice + "\r\n检测到最新版本已发布\r\n最新版本号：" + note.latestVersion + "   当前版本号：" +
         Text(currentVersion) + "\r\n是否前往指定网页下载";
}

bool IsWebAddress(std::string_view address) {
  const Text lowered = LowerAsciiBytes(LeftText(address, 8));
  return lowered.starts_with("http://") || lowered.starts_with("https://");
}

}  // namespace quillmere
