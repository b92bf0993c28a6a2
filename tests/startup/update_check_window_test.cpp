// The update check in the real main window, against a loopback HTTPS note server; the question is read and
// answered from a second thread as a user would, and the browser is a recording seam.
#include "startup/update_check_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "app/dialog_answerer_win.h"
#include "startup/update_note.h"
#include "support/loopback_server.h"
#include "text/wide_text.h"

namespace quillmere {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The note service's reply is UTF-8; the test's narrow literals are GBK, so the note is written in u8.

std::string Paragraph(std::u8string_view inner) {
  return Utf8(u8R"(<div yne-bulb-block=\"paragraph\" style=\"white-space: pre-wrap;\">)") + Utf8(inner) +
         "</div>";
}

std::string NoteReply(std::string_view contentHtml) {
  return HttpReply("HTTP/1.1 200 OK", "Content-Type: application/json; charset=utf-8\r\n",
                   "{\"p\":\"/N1\",\"content\":\"" + std::string(contentHtml) + "\",\"tl\":\"note\"}");
}

std::string StandardNote(std::u8string_view version, std::u8string_view download) {
  return Paragraph(u8"banbenhao“" + std::u8string(version) + u8"”banbenhao") +
         Paragraph(u8"xiazai“" + std::u8string(download) + u8"”xiazai") +
         Paragraph(u8"neirong“有新版本了”neirong");
}

// Answers the first message box of this process with `button`, and remembers what it said.
class QuestionAnswerer {
 public:
  explicit QuestionAnswerer(int button)
      : thread_([this, button] {
          while (!stop_) {
            if (HWND box = WaitForMessageBox(100)) {
              question_ = ReadMessageBox(box);
              asked_ = true;
              PressButton(box, button);
              return;
            }
          }
        }) {}
  ~QuestionAnswerer() { Stop(); }

  // The question, once the window thread is done with it.
  const MessageBoxContent* Question() {
    Stop();
    return asked_ ? &question_ : nullptr;
  }

 private:
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

  std::atomic<bool> stop_ = false;
  std::atomic<bool> asked_ = false;
  MessageBoxContent question_;
  std::thread thread_;
};

class UpdateCheckEvents : public MainWindowEvents {
 public:
  void OnWindowCreated(MainWindow& window) override {
    UpdateCheck(window, service, [this](std::string_view address) { opened.emplace_back(address); });
  }
  void OnWindowDestroyed() override { ++destroyed; }

  NoteService service;
  std::vector<Text> opened;
  int destroyed = 0;
};

class UpdateCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.Started());
    shareAddress_ = server_.SecureBase() + "/ynoteshare1/index.html?id=N1&type=note";
    prefix_ = server_.SecureBase() + "/yws/public/note/";
  }

  // Creates the window, whose creation runs the check; null when the check destroyed it.
  std::unique_ptr<MainWindow> CreateWindowWithNote(std::string_view rawReply, int answer = IDNO) {
    server_.Reply("/yws/public/note/N1", rawReply);
    events_.service = {shareAddress_, prefix_};
    events_.opened.clear();
    events_.destroyed = 0;
    QuestionAnswerer answerer(answer);
    std::unique_ptr<MainWindow> window = MainWindow::Create(GetModuleHandleW(nullptr), events_);
    const MessageBoxContent* question = answerer.Question();
    asked_ = question != nullptr;
    if (question) question_ = *question;
    return window;
  }

  LoopbackServer server_{true};
  Text shareAddress_;
  Text prefix_;
  UpdateCheckEvents events_;
  bool asked_ = false;
  MessageBoxContent question_;
};

TEST_F(UpdateCheckTest, TheSameVersionShowsTheNoticeAndAsksNothing) {
  std::unique_ptr<MainWindow> window =
      CreateWindowWithNote(NoteReply(StandardNote(u8"1.0", u8"https://h/d")));

  ASSERT_TRUE(window);
  EXPECT_FALSE(asked_);
  EXPECT_EQ(window->ControlText(kNoticeLabelId), "有新版本了");
  EXPECT_EQ(events_.destroyed, 0);
  const std::vector<RecordedRequest> requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].requestLine, "GET /yws/public/note/N1 HTTP/1.1");
  EXPECT_EQ(requests[0].headerLines[0], std::string(kNoteRequestHeader));
}

TEST_F(UpdateCheckTest, ADifferentVersionAsksAndYesOpensTheDownloadPage) {
  std::unique_ptr<MainWindow> window =
      CreateWindowWithNote(NoteReply(StandardNote(u8"1.0 ", u8"https://127.0.0.1/download")), IDYES);

  EXPECT_FALSE(window);
  ASSERT_TRUE(asked_);
  EXPECT_EQ(question_.caption, L"更新提示");
  EXPECT_EQ(
      question_.text,
      L"有新版本了\r\n检测到最新版本已发布\r\n最新版本号：1.0    当前版本号：1.0\r\n是否前往指定网页下载");
  EXPECT_THAT(events_.opened, ElementsAre("https://127.0.0.1/download"));
  EXPECT_EQ(events_.destroyed, 1);
}

TEST_F(UpdateCheckTest, NoClosesTheWindowWithoutOpeningAnything) {
  std::unique_ptr<MainWindow> window =
      CreateWindowWithNote(NoteReply(StandardNote(u8"0.9", u8"https://127.0.0.1/download")), IDNO);

  EXPECT_FALSE(window);
  EXPECT_TRUE(asked_);
  EXPECT_THAT(events_.opened, IsEmpty());
  EXPECT_EQ(events_.destroyed, 1);
}

TEST_F(UpdateCheckTest, ADownloadAddressThatIsNoWebAddressIsNotOpened) {
  for (std::u8string_view download : {u8"C:\\\\windows\\\\notepad.exe", u8"calc", u8"file:///C:/x", u8""}) {
    std::unique_ptr<MainWindow> window =
        CreateWindowWithNote(NoteReply(StandardNote(u8"2.0", download)), IDYES);

    EXPECT_FALSE(window);
    EXPECT_TRUE(asked_);
    EXPECT_THAT(events_.opened, IsEmpty());
    EXPECT_EQ(events_.destroyed, 1);
  }
}

TEST_F(UpdateCheckTest, AFieldOverTwoParagraphsAndAParagraphOfAnotherTag) {
  const std::string html =
      Utf8(
          u8R"(<div yne-bulb-block='paragraph' style=\"white-space: pre-wrap;\">neirong“不收”neirong</div>)") +
      Paragraph(u8"banbenhao“1.0”banbenhao") + Paragraph(u8"neirong“第一行") + Paragraph(u8"第二行”neirong");
  std::unique_ptr<MainWindow> window = CreateWindowWithNote(NoteReply(html));

  ASSERT_TRUE(window);
  EXPECT_FALSE(asked_);
  EXPECT_EQ(window->ControlText(kNoticeLabelId), "第一行\r\n第二行");
}

TEST_F(UpdateCheckTest, ANoteThatCannotBeReadKeepsTheProgramRunning) {
  const std::string versionTwo = StandardNote(u8"2.0", u8"https://127.0.0.1/download");
  struct Case {
    const char* what;
    std::string rawReply;
  };
  const Case cases[] = {
      {"not JSON", HttpReply("HTTP/1.1 200 OK", "", "<html>" + versionTwo + "</html>")},
      // Script that would build the note if it ran.
      {"script", HttpReply("HTTP/1.1 200 OK", "",
                           "eval('({\"content\":\"" + Paragraph(u8"banbenhao“2.0”banbenhao") + "\"})')")},
      {"no version", NoteReply(Paragraph(u8"neirong“有新版本了”neirong"))},
      {"no content", HttpReply("HTTP/1.1 200 OK", "", "{\"p\":1}")},
  };
  for (const Case& c : cases) {
    std::unique_ptr<MainWindow> window = CreateWindowWithNote(c.rawReply);

    ASSERT_TRUE(window) << c.what;
    EXPECT_FALSE(asked_) << c.what;
    EXPECT_EQ(window->ControlText(kNoticeLabelId), "") << c.what;
    EXPECT_EQ(events_.destroyed, 0) << c.what;
  }
}

TEST_F(UpdateCheckTest, AnUnreachableServiceKeepsTheProgramRunning) {
  shareAddress_ = "https://127.0.0.1:1/ynoteshare1/index.html?id=N1&type=note";
  prefix_ = "https://127.0.0.1:1/yws/public/note/";
  std::unique_ptr<MainWindow> window =
      CreateWindowWithNote(NoteReply(StandardNote(u8"2.0", u8"https://h/d")));

  ASSERT_TRUE(window);
  EXPECT_FALSE(asked_);
  EXPECT_EQ(window->ControlText(kNoticeLabelId), "");
  EXPECT_THAT(server_.Requests(), IsEmpty());
}

}  // namespace
}  // namespace quillmere
