#include "text/markers.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(TextBetween, Table) {
  struct Case {
    std::string_view text, left, right;
    bool ignoreCase;
    std::string_view want;
  };
  const Case cases[] = {
      {"a<b>c", "<", ">", false, "b"},
      {"a<b>c", "[", ">", false, ""},
      {"a>b<c", "<", ">", false, ""},  // the right marker only stands in front of the left one
      {"a<>c", "<", ">", false, ""},
      {"x k=\"v1\" y", "k=#引号", "#引号", false, "v1"},
      {"Name: x;", "name: ", ";", false, ""},
      {"Name: x;", "name: ", ";", true, "x"},
      {"abc", "a", "", false, ""},
      {"abc;d", "", ";", false, "abc"},
      // "中文" is D6 D0 CE C4: a marker of D0 CE is not found across the two characters.
      {"中文>", "\xD0\xCE", ">", false, ""},
      {"p中q", "p", "q", false, "中"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBetween(c.text, c.left, c.right, 0, c.ignoreCase), c.want)
        << "'" << c.text << "' '" << c.left << "' '" << c.right << "'";
  }
  EXPECT_EQ(TextBetween("<a><b>", "<", ">", 2), "b");
}

TEST(TextBefore, Table) {
  struct Case {
    std::string_view text, marker;
    int position;
    std::string_view want;
  };
  const Case cases[] = {
      {"Set-Cookie: a=1", ": ", 0, "Set-Cookie"},
      {"Set-Cookie:a=1", ": ", 0, ""},
      {"a&b&c", "&", -1, "a&b"},
      {"a&b&c", "&", 3, "a&b"},
      {"a&b&c", "&", -2, "a"},  // -2 leaves out the last two bytes, so the second "&" is not seen
      {"a&b&c", "&", -3, "a"},
      {"a&b&c", "&", -4, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextBefore(c.text, c.marker, c.position), c.want) << c.text << " at " << c.position;
  }
  EXPECT_EQ(TextBefore("ABC&x", "&", 0, true), "ABC");
}

TEST(TextAfter, Table) {
  struct Case {
    std::string_view text, marker;
    int position;
    std::string_view want;
  };
  const Case cases[] = {
      {"a=1&b=2", "=", 0, "2"},     {"a=1&b=2", "=", -1, "1&b=2"}, {"a=1&b=2", "#", 0, ""},
      {"a=1&b=2", "=", 2, "1&b=2"}, {"a=1&b=2", "=", -3, "2"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextAfter(c.text, c.marker, c.position), c.want) << c.text << " at " << c.position;
  }
  EXPECT_EQ(TextAfter("x?ID=ABC", "id=", 0, true), "ABC");
}

TEST(NormaliseHeaderNames, Table) {
  struct Case {
    std::string_view block, want;
  };
  const Case cases[] = {
      {"accept: */*\r\nfoo\r\nx-a-b:1\r\n", "Accept: */*\r\nX-A-B:1"},
      {"", ""},
      {"no colon here", ""},
      {"content-TYPE: x", "Content-TYPE: x"},
      {"user-agent:  X ", "User-Agent:  X "},
      {"a--: 1", "A--: 1"},  // dashes that end the name travel with the rest of the line
      {"-x: 1", "-X: 1"},
      {"中-a: 1", "中-A: 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseHeaderNames(c.block), c.want) << c.block;
}

TEST(SmallHelpers, CapitaliseFirstAndValueAfterColon) {
  EXPECT_EQ(CapitaliseFirst("accept"), "Accept");
  EXPECT_EQ(CapitaliseFirst(""), "");
  EXPECT_EQ(CapitaliseFirst("中a"), "中a");
  EXPECT_EQ(ValueAfterColon("User-Agent:  X "), "X");
  EXPECT_EQ(ValueAfterColon("no colon"), "");
  EXPECT_EQ(ValueAfterColon("a: b: c"), "b: c");
}

}  // namespace
}  // namespace quillmere
