#include "app/program_process_win.h"

namespace quillmere {
namespace {

// Wine shows the root of the Unix file system as drive Z:.
std::wstring ProgramPath() {
  std::wstring path = L"Z:" QUILLMERE_PROGRAM_PATH;
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

struct Search {
  DWORD processId;
  const wchar_t* className;
  HWND found = nullptr;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
  wchar_t text[64] = {};
  if (search->className) {
    GetClassNameW(window, text, 64);
    if (std::wstring(text) != search->className) return TRUE;
  } else {
    GetWindowTextW(window, text, 64);
    if (std::wstring(text) != L"Quillmere-免费版") return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

StartedProgram StartProgram() {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  StartedProgram program;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return program;
  }
  program.process = UniqueProcessHandle(started.hProcess);
  program.thread = UniqueProcessHandle(started.hThread);
  program.processId = started.dwProcessId;
  return program;
}

HWND WaitForWindowOfProcess(DWORD processId, const wchar_t* className, DWORD timeoutMs) {
  Search search = {processId, className};
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!search.found && GetTickCount64() < deadline) {
    EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

DWORD WaitForExitCode(HANDLE process, DWORD timeoutMs) {
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(process, &exitCode);
  return exitCode;
}

}  // namespace quillmere
