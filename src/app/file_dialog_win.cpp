#include "app/file_dialog_win.h"

#include <commdlg.h>

#include <algorithm>

#include <vector>

#include "text/wide_text.h"

namespace quillmere {
namespace {

// Long paths fit; the dialog reports a name that does not.
constexpr std::size_t kFileNameChars = 32768;

// "a|b|c|d" becomes "a\0b\0c\0d\0\0", the form the dialog reads.
std::wstring DialogFilter(std::string_view filter) {
  std::wstring wide = TextToWide(filter);
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  wide.push_back(L'\0');
  return wide;
}

}  // namespace

void SharedFileDialog::SetDefaultExtension(std::string_view extension) {
  // The dialog wants the extension alone; the setting is written as a pattern.
  std::wstring wide = TextToWide(extension);
  if (wide.rfind(L"*.", 0) == 0) wide.erase(0, 2);
  std::lock_guard<std::mutex> lock(mutex_);
  defaultExtension_ = wide;
}

std::optional<std::wstring> SharedFileDialog::Show(HWND owner, const FileDialogRequest& request) {
  std::vector<wchar_t> fileName(kFileNameChars, L'\0');
  std::wstring defaultExtension;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    fileName_.copy(fileName.data(), std::min(fileName_.size(), kFileNameChars - 1));
    defaultExtension = defaultExtension_;
  }
  const std::wstring filter = DialogFilter(request.filter);

  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (request.mustExist) dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (request.confirmOverwrite) dialog.Flags |= OFN_OVERWRITEPROMPT;

  const BOOL chosen =
      request.kind == FileDialogKind::kOpen ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  std::wstring path(fileName.data());
  std::lock_guard<std::mutex> lock(mutex_);
  fileName_ = path;
  return path;
}

}  // namespace quillmere
