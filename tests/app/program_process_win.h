// The built program started as a process of its own, found and watched from outside as a user's tools
// would: by its windows, its exit code.
#pragma once

#include <windows.h>

#include <string>

#include "native/unique_handle.h"

namespace quillmere {

using UniqueProcessHandle = UniqueHandle<HANDLE, &CloseHandle>;

inline constexpr DWORD kProgramWaitMs = 30000;

struct StartedProgram {
  UniqueProcessHandle process;
  UniqueProcessHandle thread;
  DWORD processId = 0;
};

// Starts build/win32/quillmere.exe; an empty process handle when it could not be started.
StartedProgram StartProgram();

// The first visible window of the process whose class is `className`, or, with a null class, its main
// window (by its caption); null after `timeoutMs`.
HWND WaitForWindowOfProcess(DWORD processId, const wchar_t* className = nullptr,
                            DWORD timeoutMs = kProgramWaitMs);

// The process's exit code once it has ended, or STILL_ACTIVE when it is still running after `timeoutMs`.
DWORD WaitForExitCode(HANDLE process, DWORD timeoutMs = kProgramWaitMs);

}  // namespace quillmere
