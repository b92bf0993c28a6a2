#include "app/file_commands_win.h"

#include <thread>

#include "app/file_io_win.h"
#include "app/number_files.h"
#include "text/wide_text.h"

namespace quillmere {
namespace {

constexpr std::string_view kImportFilter = "文本文件（*.txt）|*.txt";
constexpr std::string_view kExportFilter = "文本文档(*.txt)|*.txt";
constexpr std::string_view kExportExtension = "*.txt";
constexpr std::string_view kMessageCaption = "信息：";
constexpr std::string_view kNothingToSave = "没有可保存的单号！";
constexpr std::string_view kSaved = "保存成功！";
constexpr std::string_view kNotSaved = "保存失败！";

// An import hands its numbers to the window thread this many at a time: each step is short, so the window
// keeps answering between steps (each takes some ten milliseconds), and a large file takes few steps.
constexpr std::size_t kNumbersPerStep = 32768;

struct NumbersStep {
  const Text* numbers;
  std::size_t count;
};

// The system's message box with an OK button and no owner, modal for every window of the thread.
void ShowMessage(std::string_view text, UINT icon) {
  MessageBoxW(nullptr, TextToWide(text).c_str(), TextToWide(kMessageCaption).c_str(),
              MB_OK | icon | MB_TASKMODAL);
}

void RunImport(HWND owner, UINT appendMessage, std::shared_ptr<SharedFileDialog> dialog) {
  const std::optional<std::wstring> path =
      dialog->Show(owner, {FileDialogKind::kOpen, kImportFilter, true, false});
  if (!path) return;
  const TextList numbers = NumbersFromImportedFile(ReadWholeFile(*path).value_or(std::string()));
  for (std::size_t start = 0; start < numbers.size(); start += kNumbersPerStep) {
    NumbersStep step = {&numbers[start], std::min(kNumbersPerStep, numbers.size() - start)};
    // Carried out by the window thread before this thread goes on; fails harmlessly once the window is gone.
    if (!SendMessageW(owner, appendMessage, 0, reinterpret_cast<LPARAM>(&step))) return;
  }
}

}  // namespace

void FileCommands::ImportByDialog() {
  std::thread(RunImport, owner_, appendMessage_, dialog_).detach();  // never joined, not tracked
}

void FileCommands::AppendNumbers(WPARAM, LPARAM lParam) {
  const auto& step = *reinterpret_cast<const NumbersStep*>(lParam);
  list_.Reserve(step.count);
  for (std::size_t i = 0; i < step.count; ++i) list_.AddNumberRow(step.numbers[i]);
}

void FileCommands::ImportByDrop(const std::wstring& eventText) {
  const std::optional<std::string> bytes = ReadWholeFile(eventText);
  if (!bytes) return;
  const TextList numbers = NumbersFromDroppedFile(*bytes);
  list_.Reserve(numbers.size());
  for (const Text& number : numbers) list_.AddNumberRow(number);
}

void FileCommands::ExportResults() {
  const Text text = ResultFileText(list_);
  dialog_->SetDefaultExtension(kExportExtension);
  if (text.empty()) {
    ShowMessage(kNothingToSave, MB_ICONERROR);
    return;
  }
  Export(text);
}

void FileCommands::ExportUnresolved() {
  const Text text = UnresolvedFileText(list_);
  dialog_->SetDefaultExtension(kExportExtension);
  Export(text);
}

void FileCommands::Export(const Text& text) {
  const std::optional<std::wstring> path =
      dialog_->Show(owner_, {FileDialogKind::kSave, kExportFilter, false, true});
  if (!path) return;
  if (ReplaceFileContent(*path, text)) {
    ShowMessage(kSaved, MB_ICONINFORMATION);
  } else {
    ShowMessage(kNotSaved, MB_ICONERROR);
  }
}

}  // namespace quillmere
