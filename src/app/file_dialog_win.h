// The window's one file dialog object: the open and save dialogs of the import and the two exports. It keeps
// what a later dialog starts from: the file name chosen last (by any of the three commands) and a default
// extension once one is set.
#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

enum class FileDialogKind { kOpen, kSave };

struct FileDialogRequest {
  FileDialogKind kind;
  // Description and pattern pairs separated by "|", as "文本文件（*.txt）|*.txt".
  std::string_view filter;
  // Open: the chosen file and its folder must exist. Save: ask before replacing a file.
  bool mustExist = false;
  bool confirmOverwrite = false;
};

class SharedFileDialog {
 public:
  // Kept for every later dialog; "*.txt" and "txt" alike append ".txt" to a name typed without extension.
  void SetDefaultExtension(std::string_view extension);

  // Shows the dialog, owned by `owner`, and returns the chosen path, or nullopt when the user cancels.
  // May be called from any thread; the dialog then runs on that thread.
  std::optional<std::wstring> Show(HWND owner, const FileDialogRequest& request);

 private:
  // The import shows its dialog on a thread of its own, so what the object remembers is guarded; the
  // dialog itself is shown outside the lock.
  std::mutex mutex_;
  std::wstring fileName_;
  std::wstring defaultExtension_;
};

}  // namespace quillmere
