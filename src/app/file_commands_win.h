// The menu's file commands: import by dialog (on a thread of its own), import by drop, and the two exports,
// with their dialogs and message boxes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/file_dialog_win.h"
#include "tracking/tracking_list.h"

namespace quillmere {

class FileCommands {
 public:
  // `appendMessage` is what an import thread sends `owner` to have numbers added on the window thread.
  FileCommands(TrackingList& list, HWND owner, UINT appendMessage)
      : list_(list), owner_(owner), appendMessage_(appendMessage) {}

  // Starts the import on a new thread and returns at once.
  void ImportByDialog();
  void ImportByDrop(const std::wstring& eventText);
  void ExportResults();
  void ExportUnresolved();

  // The window thread's half of an import thread's step: adds the numbers the message carries, each as one
  // complete row.
  void AppendNumbers(WPARAM wParam, LPARAM lParam);

 private:
  void Export(const Text& text);

  TrackingList& list_;
  HWND owner_;
  UINT appendMessage_;
  // Shared with import threads, which may outlive a command.
  std::shared_ptr<SharedFileDialog> dialog_ = std::make_shared<SharedFileDialog>();
};

}  // namespace quillmere
