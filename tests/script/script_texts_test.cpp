#include "script/script_texts.h"

#include <gtest/gtest.h>

#include "script/script_json_type.h"

namespace quillmere {
namespace {

TEST(EscapeForScriptString, EscapesBackslashesQuotesAndLineBreaksOnly) {
  struct Case {
    const char* value;
    const char* want;
  } const cases[] = {
      {"", ""},
      {"plain 文本", "plain 文本"},
      {"a\\b", "a\\\\b"},
      {"it's", "it\\'s"},
      {"say \"x\"", "say \\\"x\\\""},
      {"l1\r\nl2", "l1\\r\\nl2"},
      {"\\'", "\\\\\\'"},
      {"tab\tstays", "tab\tstays"},
      // 0x5C is also the second byte of some GBK characters; those are characters, not backslashes.
      {"\x95\x5C", "\x95\x5C"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeForScriptString(c.value), c.want) << c.value;
}

TEST(ScriptNumber, WritesAtMostThirteenSignificantDigits) {
  struct Case {
    double number;
    const char* want;
  } const cases[] = {
      {0.5, "0.5"},       {3, "3"},        {-42, "-42"}, {1234567890123456.0, "1.234567890123e+15"},
      {0.1 + 0.2, "0.3"}, {1e-7, "1e-07"},
  };
  for (const Case& c : cases) EXPECT_EQ(ScriptNumber(c.number), c.want) << c.want;
}

TEST(ScriptValue, QuotesUnlessRaw) {
  EXPECT_EQ(ScriptValue("a b", false), "'a b'");
  EXPECT_EQ(ScriptValue("", false), "''");
  EXPECT_EQ(ScriptValue("{x: 1}", true), "{x: 1}");
}

TEST(PathBelowRoot, PutsTheRootInFront) {
  EXPECT_EQ(PathBelowRoot("", "da"), "da");
  EXPECT_EQ(PathBelowRoot("[0]", "da"), "da[0]");
  EXPECT_EQ(PathBelowRoot("a.b", "da"), "da.a.b");
  EXPECT_EQ(PathBelowRoot("da.a", "da"), "da.da.a");
  EXPECT_EQ(PathBelowRoot("['a b']", "da"), "da['a b']");
}

TEST(TypeCodeOf, MapsTheTypeTexts) {
  EXPECT_EQ(TypeCodeOf("[object Boolean]"), kJsonTypeBoolean);
  EXPECT_EQ(TypeCodeOf("[object Number]"), kJsonTypeNumber);
  EXPECT_EQ(TypeCodeOf("[object Object]"), kJsonTypeObject);
  EXPECT_EQ(TypeCodeOf("[object Array]"), kJsonTypeArray);
  EXPECT_EQ(TypeCodeOf("[object String]"), kJsonTypeString);
  EXPECT_EQ(TypeCodeOf("[object Function]"), kJsonTypeInvalid);
  EXPECT_EQ(TypeCodeOf(""), kJsonTypeInvalid);
}

}  // namespace
}  // namespace quillmere
