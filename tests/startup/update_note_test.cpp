#include "startup/update_note.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(IndexOfText, PlainByteSearch) {
  struct Case {
    std::string_view text;
    std::string_view needle;
    int start;
    bool ignoreCase;
    int want;
  };
  const Case cases[] = {
      {"", "a", 1, false, -1},
      {"abc", "", 1, false, -1},
      {"a&b&c", "&", 1, false, 2},
      {"a&b&c", "&", 3, false, 4},
      {"a&b&c", "&", -5, false, 2},
      {"a&b&c", "&", 6, false, -1},
      {"ABC", "bc", 1, false, -1},
      {"ABC", "bc", 1, true, 2},
      // The search does not know two-byte characters: the trail byte of 中 (D6 D0) is found on its own.
      {"\xD6\xD0", "\xD0", 1, false, 2},
      // Lower-casing goes byte by byte too: the trail byte 0x41 of the character 81 41 folds.
      {"\x81\x41", "\x81\x61", 1, true, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IndexOfText(c.text, c.needle, c.start, c.ignoreCase), c.want) << c.text << " / " << c.needle;
  }
}

TEST(CollectBetween, ItemsBetweenMarkers) {
  TextList items;
  int pumped = 0;
  EXPECT_EQ(
      CollectBetween("a[1]b[2]", "[", "]", items, false, 0, {}, "\r\n", false, false, 0, [&] { ++pumped; }),
      2);
  EXPECT_EQ(items, (TextList{"1\r\n", "2\r\n"}));
  EXPECT_EQ(pumped, 2);

  EXPECT_EQ(CollectBetween("a[1]b[2]", "[", "]", items, false, 2, {}, "\r\n"), 0);
  EXPECT_TRUE(items.empty());

  EXPECT_EQ(CollectBetween("a[1]b[2]", "[", "]", items, false, 0, "<", ">", true, true), 2);
  EXPECT_EQ(items, (TextList{"[<1>]", "[<2>]"}));

  // The next left marker is searched from the byte after the current one, so a left marker inside an inner
  // text starts an item of its own.
  EXPECT_EQ(CollectBetween("[a[b]", "[", "]", items), 2);
  EXPECT_EQ(items, (TextList{"a[b", "b"}));

  EXPECT_EQ(CollectBetween("<P>x</p>", "<p>", "</P>", items, true), 1);
  EXPECT_EQ(items, (TextList{"x"}));
  EXPECT_EQ(CollectBetween("[1][2]", "[", "]", items, false, 0, {}, {}, false, false, 3), 1);
  EXPECT_EQ(CollectBetween("[1", "[", "]", items), 0);
}

TEST(NoteIdentifier, FromShareAddresses) {
  struct Case {
    std::string_view shareAddress;
    std::string_view want;
  };
  const Case cases[] = {
      {"https://h/ynoteshare1/index.html?id=ABC&type=note", "ABC"},
      {"https://h/ynoteshare1/index.html?ID=ABC&type=note", "ABC"},
      {"https://h/ynoteshare1/index.html?id=OLD&id=NEW&type=note", "NEW"},
      {"https://h:8443/ynoteshare1/index.html?id=ABC", "ABC"},
      {"https://h/ynoteshare1/index.html", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NoteIdentifier(c.shareAddress), c.want) << c.shareAddress;
}

Text Paragraph(std::string_view inner) {
  return Text(kParagraphOpeningTag) + Text(inner) + Text(kParagraphClosingTag);
}

TEST(NoteText, ParagraphsWithTheirTagOnly) {
  const Text html = "<div>" + Paragraph("one") +
                    "<div yne-bulb-block='paragraph' style=\"white-space: pre-wrap;\">" +
                    "single quotes</div>" + Paragraph("two") +
                    "<DIV YNE-BULB-BLOCK=\"paragraph\" style=\"white-space: pre-wrap;\">three</DIV></div>";
  EXPECT_EQ(NoteText(html, [] {}), "one\r\ntwo\r\nthree\r\n");
}

TEST(ReadNoteFields, MarkedFieldsAcrossParagraphs) {
  const UpdateNote note = ReadNoteFields(
      "banbenhao“1.1”banbenhao\r\nxiazai“https://h/d”xiazai\r\nneirong“第一行\r\n第二行”neirong\r\n");
  EXPECT_EQ(note.latestVersion, "1.1");
  EXPECT_EQ(note.downloadAddress, "https://h/d");
  EXPECT_EQ(note.notice, "第一行\r\n第二行");
  EXPECT_EQ(ReadNoteFields("banbenhao“1.1").latestVersion, "");
}

TEST(UpdateQuestion, BuiltInItsOrder) {
  EXPECT_EQ(UpdateQuestion({"1.1", "https://h/d", "新版本"}, "1.0"),
            "新版本\r\n检测到最新版本已发布\r\n最新版本号：1.1   当前版本号：1.0\r\n是否前往指定网页下载");
}

TEST(IsWebAddress, OnlyHttpAndHttps) {
  EXPECT_TRUE(IsWebAddress("http://h/d"));
  EXPECT_TRUE(IsWebAddress("HTTPS://h/d"));
  EXPECT_TRUE(IsWebAddress("hTtP://h"));
  EXPECT_FALSE(IsWebAddress(""));
  EXPECT_FALSE(IsWebAddress("C:\\Windows\\notepad.exe"));
  EXPECT_FALSE(IsWebAddress("calc"));
  EXPECT_FALSE(IsWebAddress("file:///C:/x"));
  EXPECT_FALSE(IsWebAddress("https:/h"));
}

}  // namespace
}  // namespace quillmere
