// The program's entry: it takes no arguments, maps the skin library, makes the main window from its form and
// runs the window thread's message loop. Closing the window ends the process with exit code 0.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "app/main_window_win.h"
#include "app/message_loop_win.h"
#include "startup/skin_attach.h"
#include "startup/update_check_win.h"

namespace quillmere {
namespace {

class Program final : public MainWindowEvents {
 public:
  void OnWindowCreated(MainWindow& window) override {
    AttachSkin();
    // The tracking list becomes the window the drop target watches; a failed registration only means that
    // dropped files are not received.
    window.FileDropTarget().Watch(window.Control(kTrackingListId));
    window.FileDropTarget().AcceptFiles(true);
    UpdateCheck(window);
  }

  // The window is gone: the program ends at once, wherever the window thread stands (in a batch query, say);
  // exit() runs the exit routine.
  void OnWindowDestroyed() override { std::exit(0); }
};

// Runs once as the process ends, by exit() or by returning from the entry: the skin library stays mapped.
void RunExitRoutine() { DestroyProcessModule(); }

int Run(HINSTANCE instance) {
  INITCOMMONCONTROLSEX commonControls = {sizeof commonControls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&commonControls);
  CreateProcessModule();
  std::atexit(&RunExitRoutine);
  LoadSkinLibrary();

  Program program;
  std::unique_ptr<MainWindow> window = MainWindow::Create(instance, program);
  if (!window) return 0;
  RunMessageLoop(window->Handle());
  return 0;
}

}  // namespace
}  // namespace quillmere

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return quillmere::Run(instance); }
