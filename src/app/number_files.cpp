#include "app/number_files.h"

#include <algorithm>

namespace quillmere {
namespace {

constexpr char kEndOfFileMark = '\x1A';

TextList TrimmedLines(std::string_view text) {
  TextList lines = SplitText(text, "\r\n");
  for (Text& line : lines) line = TrimSpaces(line);
  return lines;
}

std::string_view UpToFirstZero(std::string_view bytes) { return bytes.substr(0, bytes.find('\0')); }

}  // namespace

TextList NumbersFromImportedFile(std::string_view fileBytes) {
  const std::string_view text = UpToFirstZero(fileBytes);
  std::size_t end = 0;
  while (end < text.size() && text[end] != kEndOfFileMark) end += CharacterLength(text, end);
  return TrimmedLines(ReplaceText(text.substr(0, std::min(end, text.size())), " "));
}

TextList NumbersFromDroppedFile(std::string_view fileBytes) { return TrimmedLines(UpToFirstZero(fileBytes)); }

Text ResultFileText(const TrackingList& list) {
  Text text;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (row > 0) text += "\r\n";
    for (int column : {kNumberColumn, kLogisticsColumn, kCompanyColumn}) {
      text += list.CellText(row, column);
      text += '\t';
    }
  }
  return text;
}

Text UnresolvedFileText(const TrackingList& list) {
  Text text;
  bool first = true;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.Status(row) == RowStatus::kQueried) continue;
    if (!first) text += "\r\n";
    text += list.CellText(row, kNumberColumn);
    first = false;
  }
  return text;
}

}  // namespace quillmere
