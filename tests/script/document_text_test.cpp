#include "script/document_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(IsDocumentText, AcceptsJsonValuesAndEmptyTexts) {
  const char* const texts[] = {
      "",
      " \r\n\t",
      "{}",
      "[]",
      " {\"a\": [1, -2.5e+3, 0, 0.5E-1, true, false, null], \"b\": {\"c\": \"d\"}} ",
      "-0",
      "{\"中文\": \"公告\"}",
      // Any script escape stays inside its string: \x41, \路 and a backslash that is a GBK second byte.
      R"(["\x41", "\'", "\路", "\u2400", "\"\\"])",
      "[\"\x95\x5C\"]",
      "[\"a\tb\"]",
  };
  for (const char* text : texts) {
    EXPECT_TRUE(IsDocumentText(text, true)) << text;
    EXPECT_TRUE(IsDocumentText(text, false)) << text;
  }
}

TEST(IsDocumentText, RefusesEverythingThatCouldRunAsScript) {
  const char* const texts[] = {
      "{a: 1}",
      "{'a': 1}",
      "['a']",
      "new ActiveXObject(\"WScript.Shell\")",
      "{\"a\": 1}; alert(1)",
      "{\"a\": (this.x = 1)}",
      "1), (this.x = 1",
      "[1,]",
      "{\"a\": 1,}",
      "[1 2]",
      "01",
      "1.",
      ".5",
      "+1",
      "1e",
      "NaN",
      "undefined",
      "\"open",
      "\"a\nb\"",
      "\"\x95\"",                    // a lead byte without its second byte
      "\"\x81\x22, alert(1), \"\"",  // a lead byte before a quote is no character
      "\x80",
      "\"\\",
      "{\"a\": 1} // comment",
      "true false",
      "中文",
  };
  for (const char* text : texts) {
    EXPECT_FALSE(IsDocumentText(text, true)) << text;
    EXPECT_FALSE(IsDocumentText(text, false)) << text;
  }
}

TEST(IsDocumentText, ThroughEvalAStringsContentMustPassToo) {
  struct Case {
    const char* text;
    bool want;
  } const cases[] = {
      {R"t("[1, 2]")t", true},
      {R"t("{\"a\": \"b\"}")t", true},
      {R"t("\"inner text\"")t", true},
      {R"t(" \u005b1\u005d ")t", true},
      {R"t("\u4e2d")t", false},  // outside a string, a character beyond ASCII could start a name
      {R"t("alert(1)")t", false},
      {R"t("name")t", false},
      {R"t("this.x = 1")t", false},
      {R"t("\x5b1]")t", false},  // escapes that JSON lacks could spell anything
      {R"t("[1\u002c (this.x = 1)]")t", false},
      {R"t("")t", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDocumentText(c.text, false), c.want) << c.text;
    EXPECT_TRUE(IsDocumentText(c.text, true)) << c.text;
  }
}

TEST(IsDocumentText, RefusesNestingDeeperThanTheParsersCanTake) {
  EXPECT_TRUE(IsDocumentText(std::string(200, '[') + std::string(200, ']'), true));
  EXPECT_FALSE(IsDocumentText(std::string(100000, '['), true));
}

}  // namespace
}  // namespace quillmere
