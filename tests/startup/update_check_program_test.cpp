// The update check of the built program, started as a process of its own against a loopback note server on
// the port its build settings name: a different version ends the program after the question, the same one
// leaves it running with the notice shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "app/program_process_win.h"
#include "startup/note_service.h"
#include "startup/update_note.h"
#include "support/loopback_server.h"
#include "web/url.h"

namespace quillmere {
namespace {

std::string NoteReply(std::u8string_view version) {
  const std::u8string paragraph = u8R"(<div yne-bulb-block=\"paragraph\" style=\"white-space: pre-wrap;\">)";
  const std::u8string content = paragraph + u8"banbenhao“" + std::u8string(version) + u8"”banbenhao</div>" +
                                paragraph + u8"xiazai“https://127.0.0.1/download”xiazai</div>" + paragraph +
                                u8"neirong“欢迎使用”neirong</div>";
  return HttpReply("HTTP/1.1 200 OK", "", "{\"content\":\"" + Utf8(content) + "\"}");
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
    program_ = StartProgram();
    ASSERT_TRUE(program_.process);
  }

  void TearDown() override {
    if (program_.process && WaitForSingleObject(program_.process.Get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(program_.process.Get(), 1);
    }
  }

  DWORD ExitCode() { return WaitForExitCode(program_.process.Get()); }

  LoopbackServer server_{true, UrlPort(kNoteShareAddress)};
  StartedProgram program_;
};

TEST_F(UpdateCheckProgramTest, ADifferentVersionEndsTheProgramAfterTheQuestion) {
  server_.Reply("*", NoteReply(u8"1.1"));

  HWND question = WaitForWindowOfProcess(program_.processId, L"#32770");
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

  HWND window = WaitForWindowOfProcess(program_.processId);
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
