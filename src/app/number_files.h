// The texts of the tracking-number files: what the two imports take from a file's bytes and what the two
// exports write. Files are GBK byte streams; no byte-order mark is written, recognised or removed.
#pragma once

#include <string_view>

#include "text/text.h"
#include "tracking/tracking_list.h"

namespace quillmere {

// The numbers of a file chosen in the import dialog: its text ends at the first zero byte, or at the first
// end-of-file mark (0x1A) that starts a character; every ASCII space is removed; lines are split on "\r\n"
// and trimmed.
TextList NumbersFromImportedFile(std::string_view fileBytes);

// The numbers of a file dropped on the list: its bytes up to the first zero byte, split on "\r\n" and
// trimmed; spaces inside a line stay.
TextList NumbersFromDroppedFile(std::string_view fileBytes);

// One line per row, lines joined by "\r\n" with none after the last: the number, the logistics text and the
// company, each followed by a tab.
Text ResultFileText(const TrackingList& list);

// The numbers of the rows not yet resolved (waiting, or failed), joined by "\r\n".
Text UnresolvedFileText(const TrackingList& list);

// The text of the drop event: the path of the one file dropped, or every path followed by "\r\n" (which names
// no file). Paths stay in the system's own characters until a file is opened.
template <typename String>
String DropEventText(const std::vector<String>& paths) {
  if (paths.size() == 1) return paths.front();
  String text;
  for (const String& path : paths) {
    text += path;
    text.push_back('\r');
    text.push_back('\n');
  }
  return text;
}

}  // namespace quillmere
