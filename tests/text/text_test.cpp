#include "text/text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

// "中文" in GBK is D6 D0 CE C4: the pair D0 CE is the second byte of one character and the first of the next.
constexpr std::string_view kChinese = "中文";

TEST(FindText, Table) {
  struct Case {
    std::string_view text, needle;
    int start;
    bool ignoreCase;
    int want;
  };
  const Case cases[] = {
      {"abcabc", "bc", 1, false, 2},
      {"abcabc", "bc", 3, false, 5},
      {"abcabc", "bc", 0, false, 2},
      {"abcabc", "bc", -7, false, 2},
      {"abcabc", "bc", 7, false, -1},
      {"abcabc", "BC", 1, false, -1},
      {"abcabc", "BC", 1, true, 2},
      {"0123456789", "", 5, false, 1},
      {"0123456789", "", 11, false, -1},
      {"", "", 1, false, -1},
      {kChinese, "\xD0\xCE", 1, false, -1},
      {kChinese, "文", 1, false, 3},
      // Boundaries are read from the start position: from byte 2 on, D0 CE is a character.
      {kChinese, "\xD0\xCE", 2, false, 2},
      // Only ASCII letters fold: the bytes of a two-byte character compare exactly.
      {"\xC1\x41", "\xC1\x61", 1, true, -1},
      {"x\xC1\x41", "a", 1, true, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindText(c.text, c.needle, c.start, c.ignoreCase), c.want)
        << "'" << c.text << "' '" << c.needle << "' from " << c.start;
  }
}

TEST(FindTextReverse, Table) {
  struct Case {
    std::string_view text, needle;
    std::optional<int> start;
    int want;
  };
  const Case cases[] = {
      {"abcabc", "bc", std::nullopt, 5},
      {"abcabc", "bc", 100, 5},
      {"abcabc", "bc", 6, 2},  // only the first five bytes are considered
      {"abcabc", "bc", 7, 5},
      {"abcabc", "bc", 1, -1},
      {"abcabc", "", 2, 1},
      {"abcabc", "", 1, -1},
      {kChinese, "\xD0\xCE", std::nullopt, -1},
      {"中中", "中", std::nullopt, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindTextReverse(c.text, c.needle, c.start), c.want)
        << "'" << c.text << "' '" << c.needle << "'";
  }
  EXPECT_EQ(FindTextReverse("xAbxab", "AB", std::nullopt, true), 5);
}

TEST(ReplaceText, Table) {
  struct Case {
    std::string_view text, find, replacement;
    bool caseSensitive;
    std::string_view want;
  };
  const Case cases[] = {
      {"a b  c ", " ", "", true, "abc"},
      {"aaa", "aa", "b", true, "ba"},  // occurrences never overlap
      {"aXax", "x", "-", true, "aXa-"},
      {"aXax", "x", "-", false, "a-a-"},
      {"", "x", "y", true, ""},
      {"abc", "", "y", true, "abc"},
      {kChinese, "\xD0\xCE", "!", true, kChinese},
      {"k=#引号v#引号", "#引号", "\"", true, "k=\"v\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement, c.caseSensitive), c.want) << c.text;
  }
}

TEST(SplitText, Table) {
  struct Case {
    std::string_view text, delimiter;
    TextList want;
  };
  const Case cases[] = {
      {"a\r\n\r\nb\r\n", "\r\n", {"a", "", "b"}},
      {"\r\na", "\r\n", {"", "a"}},
      {"\r\n", "\r\n", {""}},
      {"a\nb\n", "\r\n", {"a\nb\n"}},
      {"", "\r\n", {}},
      {"abc", "", {"abc"}},
      {"a;b;;", ";", {"a", "b", ""}},
      // A delimiter made of the second byte of one character and the first of the next does not split.
      {kChinese, "\xD0\xCE", {Text(kChinese)}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitText(c.text, c.delimiter), c.want) << c.text;
}

TEST(TrimSpaces, Table) {
  struct Case {
    std::string_view text, want;
  };
  const Case cases[] = {
      {"  ab c  ", "ab c"},
      {"\xA1\xA1"
       "ab"
       "\xA1\xA1\xA1\xA1 ",
       "ab"},
      {"\tab\r", "\tab\r"},
      {"   ", ""},
      {"", ""},
      // B0 A1 is a character; the A1 A1 after it is a full-width space. C4 A1 then A1 is not.
      {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
      {"x\xC4\xA1\xA1", "x\xC4\xA1\xA1"},
  };
  for (const Case& c : cases) EXPECT_EQ(TrimSpaces(c.text), c.want) << c.text;
}

TEST(CuttingPrimitives, LeftRightMid) {
  EXPECT_EQ(LeftText("abcdef", 2), "ab");
  EXPECT_EQ(LeftText("abc", 9), "abc");
  EXPECT_EQ(LeftText("abc", 0), "");
  EXPECT_EQ(LeftText("abc", -1), "");
  EXPECT_EQ(RightText("abcdef", 2), "ef");
  EXPECT_EQ(RightText("abc", 9), "abc");
  EXPECT_EQ(RightText("abc", -2), "");
  EXPECT_EQ(MidText("abcdef", 2, 3), "bcd");
  EXPECT_EQ(MidText("abcdef", 5, 9), "ef");
  EXPECT_EQ(MidText("abcdef", 0, 2), "");
  EXPECT_EQ(MidText("abcdef", 7, 1), "");
  EXPECT_EQ(MidText("abcdef", 2, 0), "");
}

TEST(CaseConversion, OnlyAsciiLetters) {
  EXPECT_EQ(ToUpperAscii("abZ9中"), "ABZ9中");
  EXPECT_EQ(ToLowerAscii("ABz9中"), "abz9中");
  EXPECT_EQ(ToLowerAscii("\xC1\x41"), "\xC1\x41");  // the second byte of a character stays
  EXPECT_EQ(ToUpperAscii("\xC1\x61z"), "\xC1\x61Z");
}

TEST(TextToInt, Table) {
  struct Case {
    std::string_view text;
    int want;
  };
  const Case cases[] = {{"8080", 8080},
                        {"  -12x", -12},
                        {"+7", 7},
                        {"", 0},
                        {"x1", 0},
                        {"\t\n 42", 42},
                        {"99999999999", 2147483647},
                        {"-", 0}};
  for (const Case& c : cases) EXPECT_EQ(TextToInt(c.text), c.want) << c.text;
}

}  // namespace
}  // namespace quillmere
