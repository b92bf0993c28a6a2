#include "script/regex_matcher.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(RegexMatcher, MatchesSubMatchesAndPositions) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("x(y)z", "axyza xyzq"));
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchText(1), "xyz");
  EXPECT_EQ(regex.SubMatchText(1, 1), "y");
  EXPECT_EQ(regex.SubMatchCount(), 1);
  int position = -1;
  EXPECT_EQ(regex.MatchText(1, &position), "xyz");
  EXPECT_EQ(position, 1);
  EXPECT_EQ(regex.MatchText(2, &position), "xyz");
  EXPECT_EQ(position, 6);
  EXPECT_EQ(regex.SubMatchText(2, 1, &position), "y");
  EXPECT_EQ(position, 7);
  EXPECT_EQ(regex.GetPattern(), "x(y)z");
}

TEST(RegexMatcher, PositionsAreByteOffsetsAlsoAfterTwoByteCharactersAndRepeats) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("a", "aa"));
  int position = -1;
  EXPECT_EQ(regex.MatchText(2, &position), "a");
  EXPECT_EQ(position, 1);
  ASSERT_TRUE(regex.Create("(查)询", "批量查询，查询"));
  EXPECT_EQ(regex.MatchText(1, &position), "查询");
  EXPECT_EQ(position, 4);
  EXPECT_EQ(regex.SubMatchText(2, 1, &position), "查");
  EXPECT_EQ(position, 10);
  EXPECT_EQ(regex.MatchText(3, &position), "");
  EXPECT_EQ(position, -2);
}

TEST(RegexMatcher, IgnoresCaseUnlessAskedNotTo) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("abc", "ABC"));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("abc", "ABC", true));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexMatcher, WithoutTheGlobalFlagOnlyTheFirstMatchCounts) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("o", "foo boo", false, true, false));
  EXPECT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.ReplaceMatches("0"), "f0o boo");
  ASSERT_TRUE(regex.Create("o", "foo boo"));
  EXPECT_EQ(regex.ReplaceMatches("0"), "f00 b00");
  // The replacement left out removes every match; the matches read stay as they were.
  EXPECT_EQ(regex.ReplaceMatches(), "f b");
  EXPECT_EQ(regex.MatchCount(), 4);
  ASSERT_TRUE(regex.Create("(\\w+)@(\\w+)", "me@here"));
  EXPECT_EQ(regex.ReplaceMatches("$2 at $1"), "here at me");
}

TEST(RegexMatcher, AnInvalidPatternGivesNoMatchCollection) {
  RegexMatcher regex;
  EXPECT_FALSE(regex.Create("(", "subject"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
  EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexMatcher, AValidPatternWithoutAMatchGivesAnEmptyCollection) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("x(y)", "nothing here"));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchText(1, 1), "");
  EXPECT_EQ(regex.SubMatchCount(), 0);
  int position = 0;
  EXPECT_EQ(regex.SubMatchText(1, 1, &position), "");
  EXPECT_EQ(position, -2);
}

TEST(RegexMatcher, IndexesOutsideTheMatchesGiveEmptyTexts) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("(a)(b)?", "ab a"));
  EXPECT_EQ(regex.MatchText(0), "");
  EXPECT_EQ(regex.MatchText(3), "");
  EXPECT_EQ(regex.MatchText(-1), "");
  EXPECT_EQ(regex.SubMatchText(1, 0), "");
  EXPECT_EQ(regex.SubMatchText(1, 3), "");
  EXPECT_EQ(regex.SubMatchText(2, 2), "");  // a group that took no part
  EXPECT_EQ(regex.SubMatchText(1, 2), "b");
  EXPECT_EQ(regex.SubMatchCount(), 2);
}

TEST(RegexMatcher, TheQuoteMarkerStandsForADoubleQuote) {
  RegexMatcher regex;
  const Text subject = "<a href=\"/next\">下一页</a>";
  ASSERT_TRUE(regex.Create("href=#引号(.*?)#引号", subject, false, true, true, true));
  EXPECT_EQ(regex.SubMatchText(1, 1), "/next");
  EXPECT_EQ(regex.GetPattern(), "href=\"(.*?)\"");
  // Without the flag the marker is matched as it is written.
  ASSERT_TRUE(regex.Create("href=#引号(.*?)#引号", subject));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexMatcher, TheDotDoesNotCrossALineBreak) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("a.+b", "a\r\nb"));
  EXPECT_EQ(regex.MatchCount(), 0);
  ASSERT_TRUE(regex.Create("^b", "a\r\nb"));
  EXPECT_EQ(regex.MatchCount(), 1);
  ASSERT_TRUE(regex.Create("^b", "a\r\nb", false, false));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexMatcher, AFreshObjectHasNothingToRead) {
  RegexMatcher regex;
  regex.Unused();
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubMatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.ReplaceMatches("x"), "");
}

TEST(RegexMatcher, CopiesReadTheSameMatchesUntilTheyCreateAgain) {
  RegexMatcher regex;
  ASSERT_TRUE(regex.Create("\\d+", "12 345"));
  RegexMatcher copy = regex.Copy();
  EXPECT_EQ(copy.MatchText(2), "345");
  ASSERT_TRUE(copy.Create("[a-z]", "xy"));
  EXPECT_EQ(copy.MatchCount(), 2);
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchText(1), "12");
  EXPECT_EQ(regex.ReplaceMatches("#"), "# #");
}

}  // namespace
}  // namespace quillmere
