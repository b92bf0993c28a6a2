// The update check of the built program, started as a process of its own against a loopback note server on
// the port its build settings name: a different version ends the program after the question, the same one
// leaves it running with the notice shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "native/unique_handle.h"
#include "startup/note_service.h"
#include "startup/update_note.h"
#include "support/loopback_server.h"
#include "web/url.h"

namespace quillmere {
namespace {

using UniqueProcessHandle = UniqueHandle<HANDLE, &CloseHandle>;

constexpr DWORD kWaitMs = 30000;

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string NoteReply(std::u8string_view version) {
  const std::u8string paragraph = u8R"(<div yne-bulb-block=\"paragraph\" style=\"white-space: pre-wrap;\">)";
  const std::u8string content = paragraph + u8"banbenhao“" + std::u8string(version) + u8"”banbenhao</div>" +
                                paragraph + u8"xiazai“https://127.0.0.1/download”xiazai</div>" + paragraph +
                                u8"neirong“欢迎使用”neirong</div>";
  return HttpReply("HTTP/1.1 200 OK", "", "{\"content\":\"" + Utf8(content) + "\"}");
}

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
  const wchar_t* className;  // null: the main window, by its caption
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

HWND WaitForWindow(DWORD processId, const wchar_t* className) {
  Search search = {processId, className};
  const ULONGLONG deadline = GetTickCount64() + kWaitMs;
  while (!search.found && GetTickCount64() < deadline) {
    EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(50);
  }
  return search.found;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

class UpdateCheckProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started()) << "the note port " << UrlPort(kNoteShareAddress) << " is taken";
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &started));
    process_ = UniqueProcessHandle(started.hProcess);
    thread_ = UniqueProcessHandle(started.hThread);
    processId_ = started.dwProcessId;
  }

  void TearDown() override {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.Get(), 1);
  }

  DWORD ExitCode() {
    if (WaitForSingleObject(process_.Get(), kWaitMs) != WAIT_OBJECT_0) return 1;
    DWORD exitCode = 1;
    GetExitCodeProcess(process_.Get(), &exitCode);
    return exitCode;
  }

  LoopbackServer server_{true, UrlPort(kNoteShareAddress)};
  UniqueProcessHandle process_;
  UniqueProcessHandle thread_;
  DWORD processId_ = 0;
};

TEST_F(UpdateCheckProgramTest, ADifferentVersionEndsTheProgramAfterTheQuestion) {
  server_.Reply("*", NoteReply(u8"1.1"));

  HWND question = WaitForWindow(processId_, L"#32770");
  ASSERT_TRUE(question) << "no question";
  EXPECT_EQ(TextOf(question), L"更新提示");
  EXPECT_EQ(TextOf(GetDlgItem(question, 0xFFFF)),
            L"欢迎使用\r\n检测到最新版本已发布\r\n最新版本号：1.1   当前版本号：1.0\r\n是否前往指定网页下载");
  PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(question, IDNO)));

  EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(UpdateCheckProgramTest, TheSameVersionLeavesTheProgramRunningWithTheNotice) {
  server_.Reply("*", NoteReply(u8"1.0"));

  HWND window = WaitForWindow(processId_, nullptr);
  ASSERT_TRUE(window);
  EXPECT_EQ(TextOf(GetDlgItem(window, kNoticeLabelId)), L"欢迎使用");
  const std::vector<RecordedRequest> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine,
            "GET " + UrlPath(kNoteAddressPrefix) + NoteIdentifier(kNoteShareAddress) + " HTTP/1.1");
  PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);

  EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
}  // namespace quillmere
