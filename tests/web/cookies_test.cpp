#include "web/cookies.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(MergeCookies, Table) {
  struct Case {
    std::string_view oldCookies, newCookies, want;
  };
  const Case cases[] = {
      {"a=1; b=2", "b=3; c=4", "b=3; c=4; a=1"},
      {"a=1; b=2", "a=deleted", "b=2"},
      {"a=deleted; b=2", "", "b=2"},
      {"a=1;", "", "a=1"},
      {"a=1; a=2", "", "a=1"},
      {"", "x=1; x=1", "x=1"},
      {"", "x=1; x=2", "x=1; x=2"},
      {"a=1", "A=9", "A=9; a=1"},
      // A doubled space leaves spaces around the new entry's name; it still replaces the old entry.
      {"a=1", "b=2;  a=9", "b=2;  a=9"},
      {"", "", ""},
      {"a=1;b=2", "a=3", "a=3"},
      {"  a=1; b=2  ", "  c=3  ", "c=3; a=1; b=2"},
      {"flag; a=1", "flag", "flag; a=1"},
  };
  for (const Case& c : cases) {
    Text oldCookies(c.oldCookies);
    Text newCookies(c.newCookies);
    EXPECT_EQ(MergeCookies(oldCookies, newCookies), c.want) << c.oldCookies << " + " << c.newCookies;
    EXPECT_EQ(oldCookies, c.want);
  }
}

TEST(MergeCookies, LeavesTheNewCookiesTrimmed) {
  Text oldCookies = "a=1";
  Text newCookies = "  b=2;";
  MergeCookies(oldCookies, newCookies);
  EXPECT_EQ(newCookies, "b=2; ");
}

TEST(CookieName, Table) {
  EXPECT_EQ(CookieName("  sid = x=y"), "sid");
  EXPECT_EQ(CookieName(" flag "), "flag");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName("名字=值"), "名字");
}

TEST(UniqueParts, Table) {
  EXPECT_EQ(UniqueParts("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(UniqueParts("a; A; a ", "; "), "a; A; a ");
  EXPECT_EQ(UniqueParts("a; ", "; "), "a");
  EXPECT_EQ(UniqueParts("; ; a", "; "), "; a");
  EXPECT_EQ(UniqueParts("", "; "), "");
}

}  // namespace
}  // namespace quillmere
