#include "web/reply_charset.h"

#include <gtest/gtest.h>

#include <thread>

namespace quillmere {
namespace {

// The reply as WebRequest hands it over: its bytes, and the text they make when read as GBK.
Text DecodedReply(std::string_view bytes) {
  RegexMatcher matcher;
  Text text(bytes.substr(0, bytes.find('\0')));
  DecodeReplyCharset(matcher, bytes, text);
  return text;
}

Text Page(std::string_view head, std::string_view body) {
  return "<html><head>" + Text(head) + "<title>t</title></head>\r\n<body>" + Text(body) + "</body></html>";
}

TEST(DecodeReplyCharset, DecodesPagesAgainFromTheDeclaredCharset) {
  struct Case {
    const char* name;
    const char* head;
    const char* body;  // bytes in the declared charset
    const char* want;  // the body in GBK
  } const cases[] = {
      {"utf-8 in quotes", "<meta charset=\"utf-8\">", "\xE4\xB8\xAD\xE6\x96\x87", "中文"},
      {"big5", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">", "\xA4\xA4\xA4\xE5",
       "中文"},
      {"shift_jis", "<meta http-equiv=Content-Type content='text/html;charset=shift_jis'>",
       "\x93\xFA\x96\x7B\x82\xCC", "日本の"},
      {"upper case tag and name", "<META CHARSET=UTF-8>", "\xE6\x9F\xA5", "查"},
      {"iso-8859-1", "<meta charset=iso-8859-1>", "caf\xE9", "café"},
      {"euc-jp", "<meta charset=euc-jp>", "\xC6\xFC\xCB\xDC", "日本"},
      {"iso-2022-jp", "<meta charset=iso-2022-jp>", "\x1B$BF|K\\\x1B(B", "日本"},
      {"gb18030, its GBK part", "<meta charset=\"gb18030\">", "中文", "中文"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodedReply(Page(c.head, c.body)), Page(c.head, c.want)) << c.name;
  }
}

TEST(DecodeReplyCharset, DecodesTheWholeReplyNotOnlyTheProbe) {
  const Text head = "<meta charset=\"utf-8\">";
  const Text body = Text(2000, 'x') + "\xE5\xB0\xBE";
  EXPECT_EQ(DecodedReply(Page(head, body)), Page(head, Text(2000, 'x') + "尾"));
}

TEST(DecodeReplyCharset, TheTwoGbkNamesAreComparedExactly) {
  // The text is kept or rebuilt from the bytes: bytes that differ from the text show which.
  RegexMatcher matcher;
  const Text lower = Page("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">", "中文");
  Text text = lower;
  DecodeReplyCharset(matcher, "other bytes", text);
  EXPECT_EQ(text, lower);
  text = Page("<meta charset=gbk>", "中文");
  DecodeReplyCharset(matcher, "other bytes", text);
  EXPECT_EQ(text, Page("<meta charset=gbk>", "中文"));

  const Text upper = Page("<meta charset=GBK>", "中文");
  text = upper;
  DecodeReplyCharset(matcher, upper + "尾", text);
  EXPECT_EQ(text, upper + "尾");
  EXPECT_EQ(DecodedReply(upper), upper);
}

TEST(DecodeReplyCharset, LeavesRepliesWithoutADeclarationInTheProbeUnchanged) {
  struct Case {
    const char* name;
    Text reply;
  } const cases[] = {
      {"declaration after 1024 bytes",
       Page("<!--" + Text(1024, '-') + "--><meta charset=\"utf-8\">", "\xE4\xB8\xAD")},
      {"meta tag over two lines",
       Page("<meta http-equiv=\"Content-Type\"\r\n content=\"text/html; charset=utf-8\">", "\xE4\xB8\xAD")},
      {"charset outside a meta tag", Page("<script charset=\"utf-8\"></script>", "\xE4\xB8\xAD")},
      {"JSON", "{\"content\":\"\xE4\xB8\xAD\",\"charset=utf-8\":1}"},
      {"empty", ""},
      {"unknown charset", Page("<meta charset=x-no-such-charset>", "\xE4\xB8\xAD")},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodedReply(c.reply), c.reply) << c.name;
}

TEST(DecodeReplyCharset, TheTextEndsAtTheFirstZeroCharacterOfTheDecodedReply) {
  const Text head = "<meta charset=utf-8>";
  const Text bytes = Page(head, "\xE4\xB8\xAD") + std::string("\0tail", 5);
  EXPECT_EQ(DecodedReply(bytes), Page(head, "中"));
}

LRESULT CALLBACK CountingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(DecodeReplyCharset, RunsPendingWindowMessagesAndBalancesCom) {
  int delivered = 0;
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingWindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QuillmereCharsetTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&delivered));
    {
      RegexMatcher matcher;
      PostMessageW(window, WM_APP, 0, 0);
      Text text = "{}";
      DecodeReplyCharset(matcher, text, text);
    }
    afterwards = CoInitialize(nullptr);
    if (SUCCEEDED(afterwards)) CoUninitialize();
    DestroyWindow(window);
  }).join();
  EXPECT_EQ(delivered, 1);
  EXPECT_EQ(afterwards, S_OK);
}

}  // namespace
}  // namespace quillmere
