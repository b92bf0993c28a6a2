#include "app/list_commands.h"

namespace quillmere {

void ListCommands::AddSingleNumber() {
  const Text number = controls_.NumberEditText();
  if (number.empty()) return;
  if (list_.FindNumber(number) >= 0) return;  // an exact duplicate is refused without a word
  list_.AddNumberRow(number);
}

void ListCommands::PasteNumbers() {
  const TextList lines = SplitText(controls_.ClipboardText(), "\r\n");
  list_.Reserve(lines.size());
  for (const Text& line : lines) list_.AddNumberRow(TrimSpaces(line));
}

void ListCommands::CopyNumber() {
  controls_.SetClipboardText(list_.CellText(controls_.SelectedRow(), kNumberColumn));
}

void ListCommands::DeleteSelectedNumber() {
  list_.DeleteRow(controls_.SelectedRow());
  list_.Renumber();
}

void ListCommands::ClearAll() { list_.ClearRows(); }

}  // namespace quillmere
