// The window thread's message handling: the loop that runs until the window is gone, and the step that lets
// waiting messages run in the middle of long work.
#pragma once

#include <windows.h>

namespace quillmere {

// Dispatches every message waiting for this thread, then returns. Keyboard navigation between the controls
// of `window` works as in a dialog.
void PumpWaitingMessages(HWND window);

// The same for work below the window layer (a web request, say): dialog keys go to the thread's active
// window.
void PumpWaitingMessages();

// Runs until the thread's message queue receives WM_QUIT; returns the exit code it carries.
int RunMessageLoop(HWND window);

}  // namespace quillmere
