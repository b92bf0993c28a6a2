// The import and export commands through the real window, the real common dialogs and message boxes, and
// the real file system, answered from a second thread as a user would answer them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>

#include "app/dialog_answerer_win.h"
#include "app/main_window_driver_win.h"
#include "text/wide_text.h"

namespace quillmere {
namespace {

class TemporaryFolder {
 public:
  TemporaryFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"quillmere-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount64()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TemporaryFolder() {
    for (const std::wstring& name : Files()) {
      SetFileAttributesW((path_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW((path_ + name).c_str());
    }
    RemoveDirectoryW(path_.c_str());
  }
  std::wstring Path(const std::wstring& name) const { return path_ + name; }
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

 private:
  std::wstring path_;
};

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(missing)";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes;
}

// What the answering thread saw.
struct Answered {
  bool sawFileDialog = false;
  std::wstring nameBoxAtStart;
  std::vector<MessageBoxContent> confirmations;  // asked before a file is replaced
  MessageBoxContent message;
  int posted = 0;
};

// Answers a file dialog with `name` (or cancels it when `name` is empty) and then `whileRunning` (if any);
// confirms the replacing of an existing file when the dialog asks; then reads and closes the message box
// that tells the result, when `expectMessage` holds.
std::future<Answered> AnswerFileDialog(std::wstring name, bool expectMessage,
                                       std::function<int()> whileRunning = nullptr) {
  return std::async(std::launch::async, [name, expectMessage, whileRunning] {
    Answered answered;
    HWND dialog = WaitForFileDialog();
    if (!dialog) return answered;
    answered.sawFileDialog = true;
    answered.nameBoxAtStart = FileNameBoxText(dialog);
    if (name.empty()) {
      PressButton(dialog, IDCANCEL);
      WaitUntilClosed(dialog);
      return answered;
    }
    TypeFileName(dialog, name);
    PressButton(dialog, IDOK);
    if (whileRunning) answered.posted = whileRunning();
    HWND previous = nullptr;
    while (HWND box = WaitForMessageBox(expectMessage ? 10000 : 1000, previous)) {
      if (GetDlgItem(box, IDYES)) {
        answered.confirmations.push_back(ReadMessageBox(box));
        PressButton(box, IDYES);
        WaitUntilClosed(box);
        previous = box;
        continue;
      }
      answered.message = ReadMessageBox(box);
      PressButton(box, IDOK);
      WaitUntilClosed(box);
      break;
    }
    return answered;
  });
}

std::future<MessageBoxContent> AnswerMessageBox() {
  return std::async(std::launch::async, [] {
    MessageBoxContent content;
    HWND box = WaitForMessageBox();
    if (!box) return content;
    content = ReadMessageBox(box);
    PressButton(box, IDOK);
    WaitUntilClosed(box);
    return content;
  });
}

class FileCommandsTest : public testing::Test {
 protected:
  RecordingWindowEvents events;
  MainWindowDriver driver{events};
  TemporaryFolder folder;

  void SetUp() override {
    driver.Window().FileDropTarget().Watch(driver.List());
    driver.Window().FileDropTarget().AcceptFiles(true);
  }

  void Paste(const std::wstring& text) {
    WriteUnicodeClipboard(text);
    driver.Choose(kPasteNumbersCommand);
  }

  // Runs the command on this (the window) thread while the answer comes from another.
  template <typename Answer>
  auto RunAnswered(MenuCommandId command, Answer answer) {
    driver.Choose(command);
    return answer.get();
  }

  void DropFiles(const std::vector<std::wstring>& paths) { PostDroppedFiles(driver.List(), paths); }

  // Runs messages for a while, so that a step that should add nothing has had every chance to.
  void Settle() {
    const ULONGLONG end = GetTickCount64() + 300;
    driver.PumpUntil([end] { return GetTickCount64() > end; });
  }
};

TEST_F(FileCommandsTest, DialogImportRemovesSpacesAndAddsEveryLine) {
  WriteBytes(folder.Path(L"numbers.txt"),
             "AB 12\r\n\r\n\xA1\xA1"
             "CD 34\r\n");
  std::future<Answered> answer = AnswerFileDialog(folder.Path(L"numbers.txt"), false);
  driver.Choose(kImportNumbersCommand);  // returns at once; the import runs on its own thread
  EXPECT_TRUE(PumpUntilReady(driver.Window(), answer).sawFileDialog);
  ASSERT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == 3; }));
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"AB12", L"", L"CD34"}));
  EXPECT_EQ(driver.Column(kIdColumn), (std::vector<std::wstring>{L"1", L"2", L"3"}));
  EXPECT_EQ(driver.Column(kCompanyColumn),
            (std::vector<std::wstring>{L"等待查询", L"等待查询", L"等待查询"}));
}

TEST_F(FileCommandsTest, DialogImportRunsWhileTheWindowThreadKeepsAddingRows) {
  constexpr int kImported = 100000;  // several of the import's steps
  std::string file;
  for (int i = 0; i < kImported; ++i) file += "IM" + std::to_string(i) + "\r\n";
  WriteBytes(folder.Path(L"many.txt"), file);
  WriteUnicodeClipboard(L"W\r\n");

  // While the import thread adds its rows, a third thread keeps sending paste commands; the window thread
  // carries out both threads' steps in the order they arrive.
  HWND window = driver.Handle();
  HWND listControl = driver.List();
  auto keepPasting = [window, listControl] {
    int sent = 0;
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (SendMessageW(listControl, LVM_GETITEMCOUNT, 0, 0) < kImported + sent &&
           GetTickCount64() < deadline) {
      SendMessageW(window, WM_COMMAND, kPasteNumbersCommand, 0);
      ++sent;
    }
    return sent;
  };
  std::future<Answered> answer = AnswerFileDialog(folder.Path(L"many.txt"), false, keepPasting);
  driver.Choose(kImportNumbersCommand);
  const int pasted = PumpUntilReady(driver.Window(), answer).posted;
  ASSERT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == kImported + pasted; }));

  const TrackingList& list = driver.Window().List();
  int nextImported = 0;
  int pastedAmongImported = 0;
  for (int row = 0; row < list.RowCount(); ++row) {
    ASSERT_EQ(list.CellText(row, kIdColumn), std::to_string(row + 1));
    ASSERT_EQ(list.CellText(row, kLogisticsColumn), "等待查询");
    ASSERT_EQ(list.CellText(row, kCompanyColumn), "等待查询");
    const Text& number = list.CellText(row, kNumberColumn);
    if (number == "W") {
      if (nextImported > 0 && nextImported < kImported) ++pastedAmongImported;
    } else {
      ASSERT_EQ(number, "IM" + std::to_string(nextImported++));
    }
  }
  EXPECT_EQ(nextImported, kImported);
  EXPECT_GT(pastedAmongImported, 0) << "the window thread's rows came only before or after the import";
}

TEST_F(FileCommandsTest, CancelledImportAfterAnExportAddsNothing) {
  Paste(L"a\r\n");
  RunAnswered(kExportResultsCommand, AnswerFileDialog(folder.Path(L"out.txt"), true));
  driver.Choose(kClearAllCommand);
  std::future<Answered> answer = AnswerFileDialog(L"", false);
  driver.Choose(kImportNumbersCommand);
  EXPECT_TRUE(PumpUntilReady(driver.Window(), answer).sawFileDialog);
  Settle();
  EXPECT_EQ(driver.RowCount(), 0);
}

TEST_F(FileCommandsTest, DropImportKeepsInnerSpacesAndStopsAtTheFirstZeroByte) {
  WriteBytes(folder.Path(L"drop.txt"), "AB 12\r\nCD 34\r\n");
  DropFiles({folder.Path(L"drop.txt")});
  ASSERT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == 2; }));
  EXPECT_EQ(driver.Column(kNumberColumn), (std::vector<std::wstring>{L"AB 12", L"CD 34"}));

  WriteBytes(folder.Path(L"utf16.txt"), std::string_view("\xFF\xFE"
                                                         "A\0B\0",
                                                         6));
  DropFiles({folder.Path(L"utf16.txt")});
  ASSERT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == 3; }));
  EXPECT_EQ(driver.Window().List().CellText(2, kNumberColumn),
            "\xFF\xFE"
            "A");
}

TEST_F(FileCommandsTest, DroppingTwoFilesAtOnceAddsNothing) {
  WriteBytes(folder.Path(L"one.txt"), "a\r\n");
  WriteBytes(folder.Path(L"two.txt"), "b\r\n");
  DropFiles({folder.Path(L"one.txt"), folder.Path(L"two.txt")});
  Settle();
  EXPECT_EQ(driver.RowCount(), 0);
}

TEST_F(FileCommandsTest, ExportResultsWritesTabEndedLinesAndSaysSo) {
  Paste(L"SF1\r\nYT2\r\nZT3\r\n");
  driver.Window().List().SetCellText(0, kLogisticsColumn, "到达\n  派送");
  const Answered answered =
      RunAnswered(kExportResultsCommand, AnswerFileDialog(folder.Path(L"results"), true));
  ASSERT_TRUE(answered.sawFileDialog);
  EXPECT_EQ(answered.message.caption, L"信息：");
  EXPECT_EQ(answered.message.text, L"保存成功！");
  EXPECT_EQ(answered.message.icon, LoadIconW(nullptr, IDI_INFORMATION));
  // The default extension is added to a name typed without one.
  EXPECT_EQ(ReadBytes(folder.Path(L"results.txt")),
            "SF1\t到达\n  派送\t等待查询\t\r\nYT2\t等待查询\t等待查询\t\r\nZT3\t等待查询\t等待查询\t");
}

TEST_F(FileCommandsTest, ExportResultsOfAnEmptyListShowsNoDialog) {
  const MessageBoxContent message = RunAnswered(kExportResultsCommand, AnswerMessageBox());
  EXPECT_EQ(message.caption, L"信息：");
  EXPECT_EQ(message.text, L"没有可保存的单号！");
  EXPECT_EQ(message.icon, LoadIconW(nullptr, IDI_ERROR));
}

TEST_F(FileCommandsTest, ExportUnresolvedTakesWaitingAndFailedRows) {
  Paste(L"a\r\nb\r\nc\r\n");
  driver.Window().List().SetStatus(0, RowStatus::kQueried);
  driver.Window().List().SetStatus(2, RowStatus::kFailed);
  const Answered answered =
      RunAnswered(kExportUnresolvedCommand, AnswerFileDialog(folder.Path(L"unresolved.txt"), true));
  EXPECT_EQ(answered.message.text, L"保存成功！");
  EXPECT_EQ(ReadBytes(folder.Path(L"unresolved.txt")), "b\r\nc");
}

TEST_F(FileCommandsTest, ExportUnresolvedWithNoneLeftStillAsksAndWritesAnEmptyFile) {
  Paste(L"a\r\n");
  driver.Window().List().SetStatus(0, RowStatus::kQueried);
  WriteBytes(folder.Path(L"unresolved.txt"), "old");
  const Answered answered =
      RunAnswered(kExportUnresolvedCommand, AnswerFileDialog(folder.Path(L"unresolved.txt"), true));
  ASSERT_TRUE(answered.sawFileDialog);
  EXPECT_EQ(answered.message.text, L"保存成功！");
  EXPECT_EQ(ReadBytes(folder.Path(L"unresolved.txt")), "");
}

TEST_F(FileCommandsTest, FailedExportLeavesTheOldFileAndNoTemporaryFile) {
  Paste(L"a\r\n");
  const std::wstring target = folder.Path(L"locked.txt");
  WriteBytes(target, "old content");
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
  const Answered answered = RunAnswered(kExportResultsCommand, AnswerFileDialog(target, true));
  EXPECT_EQ(answered.confirmations.size(), 1u);  // the dialog asked before replacing the file
  EXPECT_EQ(answered.message.text, L"保存失败！");
  EXPECT_EQ(answered.message.icon, LoadIconW(nullptr, IDI_ERROR));
  EXPECT_EQ(ReadBytes(target), "old content");
  EXPECT_EQ(folder.Files(), (std::vector<std::wstring>{L"locked.txt"}));
  EXPECT_EQ(driver.RowCount(), 1);
}

TEST_F(FileCommandsTest, EveryDialogStartsFromTheFileNameChosenLast) {
  WriteBytes(folder.Path(L"numbers.txt"), "a\r\n");
  std::future<Answered> first = AnswerFileDialog(folder.Path(L"numbers.txt"), false);
  driver.Choose(kImportNumbersCommand);
  EXPECT_EQ(PumpUntilReady(driver.Window(), first).nameBoxAtStart, L"");
  ASSERT_TRUE(driver.PumpUntil([&] { return driver.RowCount() == 1; }));

  const Answered exported = RunAnswered(kExportResultsCommand, AnswerFileDialog(L"", false));
  EXPECT_EQ(exported.nameBoxAtStart, L"numbers.txt");  // the dialog shows the folder apart from the name

  // The cancelled export's dialog still started from the imported file, and so does the next import's.
  std::future<Answered> again = AnswerFileDialog(L"", false);
  driver.Choose(kImportNumbersCommand);
  EXPECT_EQ(PumpUntilReady(driver.Window(), again).nameBoxAtStart, L"numbers.txt");
}

}  // namespace
}  // namespace quillmere
