// Imports a 1,000,000-line file by each import and exports 1,000,000 rows through the real window, its real
// dialogs and the real file system, and prints how long each took. Run by hand under Wine:
//   tools/with-wine "$PWD/build/win32/wineprefix" wine build/win32/tests/app/file_benchmark.exe
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <future>
#include <string>

#include "app/dialog_answerer_win.h"
#include "app/main_window_driver_win.h"
#include "app/seconds_win.h"

namespace quillmere {
namespace {

constexpr int kLines = 1000000;

class NoEvents : public MainWindowEvents {
  void OnWindowCreated(MainWindow&) override {}
  void OnWindowDestroyed() override {}
};

int Rows(MainWindow& window) {
  return static_cast<int>(SendMessageW(window.Control(kTrackingListId), LVM_GETITEMCOUNT, 0, 0));
}

// Runs the window's messages until the list shows `count` rows; returns the time it happened.
double PumpUntilRows(MainWindow& window, int count) {
  while (Rows(window) != count) {
    window.RunWaitingMessages();
    WaitForMessages();
  }
  return Seconds();
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// Answers the next file dialog with `path` and returns how long it was open; then closes the message box
// that follows, if one comes, and records when it appeared.
std::future<double> Answer(const std::wstring& path, double* messageAt) {
  return std::async(std::launch::async, [path, messageAt] {
    HWND dialog = WaitForFileDialog();
    const double shownAt = Seconds();
    TypeFileName(dialog, path);
    const double answeredAt = Seconds();
    PressButton(dialog, IDOK);
    while (HWND box = WaitForMessageBox(messageAt ? 60000 : 0)) {
      if (GetDlgItem(box, IDYES)) {  // replacing an existing file is confirmed
        PressButton(box, IDYES);
        WaitUntilClosed(box);
        continue;
      }
      if (messageAt) *messageAt = Seconds();
      PressButton(box, IDOK);
      WaitUntilClosed(box);
      break;
    }
    return answeredAt - shownAt;
  });
}

}  // namespace
}  // namespace quillmere

int main() {
  using namespace quillmere;
  NoEvents events;
  std::unique_ptr<MainWindow> window = MainWindow::Create(GetModuleHandleW(nullptr), events);
  if (!window) return 1;
  window->FileDropTarget().Watch(window->Control(kTrackingListId));
  window->FileDropTarget().AcceptFiles(true);

  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring numbers = std::wstring(folder) + L"quillmere-benchmark-numbers.txt";
  const std::wstring results = std::wstring(folder) + L"quillmere-benchmark-results.txt";
  std::string file;
  for (int i = 0; i < kLines; ++i) file += "SF" + std::to_string(1000000000000 + i) + "\r\n";
  WriteFile(numbers, file);

  const double dropStart = Seconds();
  PostDroppedFiles(window->Control(kTrackingListId), {numbers});
  const double dropEnd = PumpUntilRows(*window, kLines);
  std::printf("import by drop:   %d lines in %.3f s\n", kLines, dropEnd - dropStart);

  // The time the dialogs stood open waiting for their answer is left out of the figures.
  SendMessageW(window->Handle(), WM_COMMAND, kClearAllCommand, 0);
  std::future<double> answered = Answer(numbers, nullptr);
  const double importStart = Seconds();
  SendMessageW(window->Handle(), WM_COMMAND, kImportNumbersCommand, 0);
  const double importDialogOpen = PumpUntilReady(*window, answered);
  const double importEnd = PumpUntilRows(*window, kLines);
  std::printf("import by dialog: %d lines in %.3f s\n", kLines, importEnd - importStart - importDialogOpen);

  double savedAt = 0;
  std::future<double> exportAnswered = Answer(results, &savedAt);
  const double exportStart = Seconds();
  SendMessageW(window->Handle(), WM_COMMAND, kExportResultsCommand, 0);
  const double exportDialogOpen = exportAnswered.get();
  std::printf("export results:   %d rows in %.3f s\n", kLines, savedAt - exportStart - exportDialogOpen);
  DeleteFileW(numbers.c_str());
  DeleteFileW(results.c_str());
  return 0;
}
