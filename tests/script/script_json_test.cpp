#include "script/script_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace quillmere {
namespace {

using testing::AnyOf;
using testing::ElementsAre;
using testing::IsEmpty;

TEST(ScriptJson, ParseOfAnObjectTextReadsMembersAndWritesCompactJson) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({ "content": "<p>公告</p>", "n": 2, "list": [1, "二", null] })", false));
  EXPECT_EQ(json.GetText("content", false), "<p>公告</p>");
  EXPECT_EQ(json.ToText(), R"({"content":"<p>公告</p>","n":2,"list":[1,"二",null]})");
  EXPECT_EQ(json.Count("list"), 3);
}

TEST(ScriptJson, ParseOfAnEmptyTextFails) {
  ScriptJson json;
  // Indirectly, eval() of nothing leaves the root undefined; directly, the statement does not compile and
  // the root stays null.
  EXPECT_FALSE(json.Parse("", false));
  EXPECT_EQ(json.TypeOf(""), kJsonTypeNull);
  EXPECT_EQ(json.GetText("", true), "");
  EXPECT_FALSE(json.Parse("", true));
  EXPECT_EQ(json.GetText("", true), "null");
  EXPECT_FALSE(json.Exists("content"));
}

TEST(ScriptJson, ParseStartsEachDocumentInAFreshEngine) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"a": 1})", true));
  ASSERT_TRUE(json.Parse(R"({"b": 2})", true));
  EXPECT_EQ(json.ToText(), R"({"b":2})");
  // A text whose value is a string is evaluated once more when read indirectly.
  EXPECT_TRUE(json.Parse(R"("[1, 2]")", false));
  EXPECT_EQ(json.ToText(), "[1,2]");
}

// Whether a script run in the document's engine has set the global `ran`.
bool ScriptRan(ScriptJson& json) {
  UniqueVariant result;
  CallMethod(json.Engine().Get(), L"Eval", &result, UniqueVariant::FromText("typeof ran != 'undefined'"));
  return result.ToBool();
}

TEST(ScriptJson, EveryEngineRunsInTheSafeSubset) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse("{}", true));
  UniqueVariant safeSubset;
  ASSERT_TRUE(SUCCEEDED(GetProperty(json.Engine().Get(), L"UseSafeSubset", safeSubset)));
  EXPECT_TRUE(safeSubset.ToBool());
}

TEST(ScriptJson, ParseRunsNothingButJsonTexts) {
  const char* const texts[] = {
      "{\"a\": (ran = 1)}", "(ran = 1)", "{\"a\": 1}; var ran = 1", "1), (ran = 1", "{a: 1, b: ran = 1}",
  };
  for (const char* text : texts) {
    for (const bool direct : {true, false}) {
      ScriptJson json;
      EXPECT_FALSE(json.Parse(text, direct)) << text;
      EXPECT_FALSE(ScriptRan(json)) << text;
      EXPECT_EQ(json.ToText(), "null") << text;
    }
  }
  // A text that is a string is a document directly, and script when it goes through eval.
  ScriptJson json;
  EXPECT_TRUE(json.Parse("\"ran = 1\"", true));
  EXPECT_EQ(json.ToText(), "\"ran = 1\"");
  EXPECT_FALSE(json.Parse("\"ran = 1\"", false));
  EXPECT_FALSE(ScriptRan(json));
}

TEST(ScriptJson, ASubDocumentCannotBeMadeToRunScriptThroughThePlaceholder) {
  ScriptJson json;
  // U+2400 turns into a backslash on the way out. The first escapes the closing quote of "a", the second
  // a quote inside the single-quoted string that the member name opens; what is left runs as script.
  ASSERT_TRUE(json.Parse(R"t({"a": "\u2400", "+(ran = 1)+'\u2400": "'})//"})t", true));
  EXPECT_FALSE(ScriptRan(json));
  ScriptJson object = json.GetObject("");
  EXPECT_FALSE(ScriptRan(object));
  EXPECT_EQ(object.TypeOf(""), kJsonTypeNull);
}

TEST(ScriptJson, ClearAfterAFailedParseGivesAnEmptyDocument) {
  ScriptJson json;
  EXPECT_FALSE(json.Parse("{ not json", false));
  EXPECT_EQ(json.ToText(), "null");
  EXPECT_TRUE(json.Clear());
  EXPECT_EQ(json.ToText(), "{}");
  EXPECT_TRUE(json.SetValue("a", "b", false));
  EXPECT_EQ(json.ToText(), R"({"a":"b"})");
}

TEST(ScriptJson, ResolvePathPutsTheRootInFrontUnlessThePathNamesAValueBelowIt) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"a": {"b": 1}, "da": {"a": 2}, "list": [5]})", true));
  struct Case {
    const char* path;
    const char* want;
    bool exists;
  } const cases[] = {
      {"", "da", true},
      {"[0]", "da[0]", false},
      {"a.b", "da.a.b", true},
      {"da.a", "da.a", true},
      {"da.list", "da.list", true},
      {"da.x", "da.da.x", false},
      {"list[0]", "da.list[0]", true},
  };
  for (const Case& c : cases) {
    Text path = c.path;
    EXPECT_EQ(json.ResolvePath(path), c.exists) << c.path;
    EXPECT_EQ(path, c.want) << c.path;
  }
  ASSERT_TRUE(json.Parse(R"({"b": 1, "da": {"a": 2}})", true));
  Text path = "da.a";
  EXPECT_TRUE(json.ResolvePath(path));
  EXPECT_EQ(path, "da.da.a");
}

TEST(ScriptJson, TypeOfGivesTheTypeCodes) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"t": true, "n": 1.5, "o": {}, "a": [], "s": "x", "z": null})", true));
  struct Case {
    const char* path;
    int want;
  } const cases[] = {
      {"t", kJsonTypeBoolean},    {"n", kJsonTypeNumber},
      {"o", kJsonTypeObject},     {"a", kJsonTypeArray},
      {"s", kJsonTypeString},     {"z", kJsonTypeNull},
      {"missing", kJsonTypeNull}, {"missing.below", kJsonTypeInvalid},
      {"", kJsonTypeObject},
  };
  for (const Case& c : cases) EXPECT_EQ(json.TypeOf(c.path), c.want) << c.path;
}

TEST(ScriptJson, GetTextOfMissingNullAndNumberMembers) {
  ScriptJson json;
  ASSERT_TRUE(
      json.Parse(R"({"z": null, "n": 12.5, "t": false, "o": {"k": "v"}, "list": [7, "seven"]})", true));
  EXPECT_EQ(json.GetText("missing", false), "");
  EXPECT_EQ(json.GetText("missing", true), "");
  EXPECT_EQ(json.GetText("z", true), "null");
  EXPECT_EQ(json.GetText("z", false), "");
  EXPECT_EQ(json.GetText("n", false), "12.5");
  EXPECT_EQ(json.GetText("n", true), "12.5");
  EXPECT_EQ(json.GetText("t", false), "false");
  EXPECT_EQ(json.GetText("o", true), R"({"k":"v"})");
  EXPECT_EQ(json.GetJson("o.k"), R"("v")");
  // Plain item texts serve string elements only.
  EXPECT_EQ(json.GetItemText(0, "list", false), "");
  EXPECT_EQ(json.GetItemText(0, "list", true), "7");
  EXPECT_EQ(json.GetItemText(1, "list", false), "seven");
  EXPECT_EQ(json.GetItemText(5, "list", true), "");
  EXPECT_EQ(json.GetNumber("n"), 12.5);
  EXPECT_EQ(json.GetNumber("o"), 0);
}

TEST(ScriptJson, PlainValuesWithBackslashesQuotesAndLineBreaksReadBackUnchanged) {
  ScriptJson json;
  // 0x5C is also the second byte of some GBK characters, as in the first one here; it is no backslash.
  const Text value = "\x95\x5C C:\\路径\\a 'single' \"double\"\r\nnext";
  ASSERT_TRUE(json.Clear());
  json.SetValue("v", value, false);
  EXPECT_EQ(json.GetText("v", false), value);
  // In JSON the stored backslash comes back as one backslash, unescaped.
  EXPECT_EQ(json.ToText(), "{\"v\":\"\x95\x5C C:\\路径\\a 'single' \\\"double\\\"\\r\\nnext\"}");
  // The joined leaf values see the placeholder itself, which has no GBK form.
  TextList leaves;
  ASSERT_EQ(json.LeafValues(leaves, "", false), 1);
  EXPECT_EQ(leaves[0], "\x95\x5C C:?路径?a 'single' \"double\"\r\nnext");
}

TEST(ScriptJson, AssignmentsReportTheTruthOfWhatWasAssigned) {
  ScriptJson json;
  EXPECT_TRUE(json.SetValue("a", "text", false));
  EXPECT_TRUE(json.SetValue("b", "0", false));
  EXPECT_FALSE(json.SetValue("c", "", false));
  EXPECT_TRUE(json.Exists("c"));
  EXPECT_TRUE(json.SetValue("d", "{\"x\": 1}", true));
  EXPECT_FALSE(json.SetValue("e", "false", true));
  EXPECT_EQ(json.GetJson("e"), "false");
  EXPECT_FALSE(json.SetValue("f", "0 / 0", true));
  EXPECT_EQ(json.GetJson("f"), "null");
  EXPECT_TRUE(json.SetNumber("g", -1));
  EXPECT_FALSE(json.SetNumber("h", 0));
  EXPECT_EQ(json.GetJson("h"), "0");
}

TEST(ScriptJson, SetValueInJsonModeMergesIntoObjectsAndReplacesEverythingElse) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"o": {"keep": 1, "s": "old", "n": 1, "z": null, "inner": {"a": 1}},
                               "s": "text", "list": [1]})",
                         true));
  EXPECT_TRUE(json.SetValue("o", R"({"s": "new", "n": 2, "z": 3, "inner": {"b": 2}, "added": true})", true));
  EXPECT_EQ(json.GetJson("o"), R"({"keep":1,"s":"new","n":2,"z":3,"inner":{"a":1,"b":2},"added":true})");
  EXPECT_TRUE(json.SetValue("s", R"({"now": "object"})", true));
  EXPECT_EQ(json.GetJson("s"), R"({"now":"object"})");
  EXPECT_TRUE(json.SetValue("list", "[2, 3]", true));
  EXPECT_EQ(json.GetJson("list"), "[2,3]");
  EXPECT_TRUE(json.SetValue("missing", "[4]", true));
  EXPECT_EQ(json.GetJson("missing"), "[4]");
  // An empty value merges nothing into an object, and replaces anything else by undefined.
  EXPECT_TRUE(json.SetValue("o", "", true));
  EXPECT_EQ(json.Count("o"), 0);
  EXPECT_FALSE(json.SetValue("list", "", true));
  EXPECT_EQ(json.TypeOf("list"), kJsonTypeNull);
}

TEST(ScriptJson, SetExpressionEvaluatesTheExpression) {
  ScriptJson json;
  // The expression's value is itself evaluated when it is a text.
  EXPECT_TRUE(json.SetExpression("x", "'1 + ' + 2"));
  EXPECT_EQ(json.GetText("x", false), "3");
  EXPECT_TRUE(json.SetExpression("y", "[1, 2]"));
  EXPECT_EQ(json.GetJson("y"), "[1,2]");
  EXPECT_FALSE(json.SetExpression("z", "("));
  EXPECT_FALSE(json.Exists("z"));
}

TEST(ScriptJson, CountAndMemberNamesOfObjectsOnly) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"list": [1, 2], "text": "abc", "o": {"名字": 1, "b": [], "c": {}}})", true));
  TextList names = {"stale"};
  EXPECT_EQ(json.MemberNames(names, "o"), 3);
  EXPECT_THAT(names, ElementsAre("名字", "b", "c"));
  EXPECT_EQ(json.MemberNames(names, "list"), 0);
  EXPECT_THAT(names, IsEmpty());
  EXPECT_EQ(json.MemberNames(names, "text"), 0);
  EXPECT_EQ(json.MemberNames(names, "missing.below"), 0);
  EXPECT_EQ(json.Count("list"), 2);
  EXPECT_EQ(json.Count("text"), 0);
  EXPECT_EQ(json.Count("o"), 0);
  EXPECT_EQ(json.Count("missing"), 0);
}

TEST(ScriptJson, AppendMakesAnArrayOfAnythingElse) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"list": [1], "text": "abc"})", true));
  EXPECT_TRUE(json.Append("二", "list", false));
  EXPECT_TRUE(json.Append("{\"k\": true}", "list", true));
  EXPECT_EQ(json.GetJson("list"), R"([1,"二",{"k":true}])");
  EXPECT_TRUE(json.Append("x", "text", false));
  EXPECT_TRUE(json.Append("y", "missing", false));
  EXPECT_EQ(json.ToText(), R"({"list":[1,"二",{"k":true}],"text":["x"],"missing":["y"]})");
  // A quoted value is not escaped: a single quote in it leaves a script that does not compile.
  EXPECT_FALSE(json.Append("it's", "list", false));
  EXPECT_EQ(json.Count("list"), 3);
}

TEST(ScriptJson, SetItemPastTheEndLengthensTheArrayWithNulls) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse("{\"list\": [\"a\"]}", true));
  EXPECT_TRUE(json.SetItem(3, "list", "d", false));
  EXPECT_TRUE(json.SetItem(0, "list", "[true]", true));
  EXPECT_EQ(json.GetJson("list"), R"([[true],null,null,"d"])");
  EXPECT_EQ(json.Count("list"), 4);
  EXPECT_TRUE(json.RemoveItem(1, "list"));
  EXPECT_EQ(json.GetJson("list"), R"([[true],null,"d"])");
  EXPECT_TRUE(json.Remove("list"));
  EXPECT_EQ(json.ToText(), "{}");
}

TEST(ScriptJson, LeafValuesOfOneLevelOrAllLevels) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"a": "1", "b": {"c": 2, "d": [true, "x"]}, "e": 3.5, "f": null})", true));
  TextList values = {"stale"};
  EXPECT_EQ(json.LeafValues(values, "", false), 2);
  EXPECT_THAT(values, ElementsAre("1", "3.5"));
  EXPECT_EQ(json.LeafValues(values, "", true), 5);
  EXPECT_THAT(values, ElementsAre("1", "2", "true", "x", "3.5"));
  EXPECT_EQ(json.LeafValues(values, "b.d", false), 2);
  EXPECT_THAT(values, ElementsAre("true", "x"));
}

TEST(ScriptJson, LeafValuesSplitsTheJoinedText) {
  ScriptJson json;
  // An empty last value leaves nothing after the last separator; an empty value elsewhere stays.
  ASSERT_TRUE(json.Parse(R"({"a": "", "b": "x", "c": ""})", true));
  TextList values;
  EXPECT_EQ(json.LeafValues(values, "", false), 2);
  EXPECT_THAT(values, ElementsAre("", "x"));
  ASSERT_TRUE(json.Parse("{\"a\": \"1[2020年7月20日20时0分0秒]2\"}", true));
  EXPECT_EQ(json.LeafValues(values, "", false), 2);
  EXPECT_THAT(values, ElementsAre("1", "2"));
}

TEST(ScriptJson, SetNumberKeepsThirteenSignificantDigits) {
  ScriptJson json;
  EXPECT_TRUE(json.SetNumber("big", 1234567890123456.0));
  EXPECT_EQ(json.GetNumber("big"), 1234567890123000.0);
  EXPECT_TRUE(json.SetNumber("half", 0.5));
  EXPECT_EQ(json.GetJson("half"), "0.5");
  EXPECT_TRUE(json.SetNumber("three", 3));
  EXPECT_EQ(json.GetJson("three"), "3");
}

TEST(ScriptJson, NumbersReadBackInTheEnginesOwnForm) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse("{\"big\": 1234567890123000, \"small\": 0.000002}", true));
  ASSERT_TRUE(json.SetExpression("sum", "0.1 + 0.2"));
  // The standard form writes integers below 1e21 in full and keeps 17 digits; Wine's engine writes 15
  // significant digits with an upper-case exponent, as the automation layer's conversion does.
  EXPECT_THAT(json.GetText("big", false), AnyOf("1234567890123000", "1.234567890123E+15"));
  EXPECT_THAT(json.GetJson("sum"), AnyOf("0.30000000000000004", "0.3"));
  EXPECT_THAT(json.GetJson("small"), AnyOf("0.000002", "2E-06"));
  EXPECT_EQ(json.GetNumber("small"), 0.000002);
}

TEST(ScriptJson, CopiesShareOneDocument) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"a": 1})", true));
  {
    ScriptJson copy = json.Copy();
    EXPECT_TRUE(copy.SetValue("b", "shared", false));
    EXPECT_EQ(copy.Engine().Get(), json.Engine().Get());
  }
  EXPECT_EQ(json.ToText(), R"({"a":1,"b":"shared"})");
  // A copy that parses gets an engine of its own.
  ScriptJson copy(json);
  ASSERT_TRUE(copy.Parse("[]", true));
  EXPECT_EQ(json.ToText(), R"({"a":1,"b":"shared"})");
  EXPECT_EQ(copy.ToText(), "[]");
}

TEST(ScriptJson, EveryObjectAndCopyBalancesItsComInitialisation) {
  HRESULT afterwards = E_FAIL;
  std::thread([&] {
    {
      ScriptJson json;
      ASSERT_TRUE(json.Parse(R"({"o": {}})", true));
      ScriptJson object = json.GetObject("o");
      ScriptJson copy = json.Copy();
      ASSERT_TRUE(copy.Parse("[]", true));
    }
    afterwards = CoInitialize(nullptr);
    if (SUCCEEDED(afterwards)) CoUninitialize();
  }).join();
  EXPECT_EQ(afterwards, S_OK);
}

TEST(ScriptJson, GetObjectMakesAnIndependentDocument) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse(R"({"o": {"k": "v"}, "list": [{"i": 0}, {"i": 1}]})", true));
  ScriptJson object = json.GetObject("o");
  EXPECT_EQ(object.GetText("k", false), "v");
  EXPECT_TRUE(object.SetValue("k", "changed", false));
  EXPECT_EQ(json.GetText("o.k", false), "v");
  EXPECT_NE(object.Engine().Get(), json.Engine().Get());

  ScriptJson item = json.GetItemObject(1, "list");
  EXPECT_EQ(item.ToText(), R"({"i":1})");
  ScriptJson missing = json.GetObject("missing");
  EXPECT_TRUE(missing.Engine());
  EXPECT_EQ(missing.TypeOf(""), kJsonTypeNull);
}

TEST(ScriptJson, ABackslashStoredInPlainModeReachesASubDocumentAsAScriptEscape) {
  ScriptJson json;
  ASSERT_TRUE(json.Clear());
  json.SetValue("o.x", "", false);  // no member o yet: the evaluation fails
  EXPECT_FALSE(json.Exists("o"));
  ASSERT_TRUE(json.SetValue("o", "{}", true));
  json.SetValue("o.path", "a\\nb", false);
  EXPECT_EQ(json.GetText("o.path", false), "a\\nb");
  ScriptJson object = json.GetObject("o");
  EXPECT_EQ(object.GetText("path", false), "a\nb");
}

TEST(ScriptJson, ScriptErrorsGiveEmptyResultsAndKeepWhatRanBefore) {
  ScriptJson json;
  ASSERT_TRUE(json.Parse("{\"a\": 1}", true));
  EXPECT_FALSE(json.SetValue("x.y.z", "v", false));
  EXPECT_EQ(json.GetText("a.b.c", false), "");
  EXPECT_EQ(json.GetJson("a.b.c"), "");
  EXPECT_EQ(json.Count("(("), 0);
  EXPECT_EQ(json.GetNumber("a.b.c"), 0);
  EXPECT_FALSE(json.Remove("a.b.c"));
  // The engine is still usable afterwards.
  EXPECT_EQ(json.ToText(), R"({"a":1})");
}

}  // namespace
}  // namespace quillmere
