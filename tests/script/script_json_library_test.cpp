// The library's JSON, run inside the real engine of a document object.
#include <gtest/gtest.h>

#include "script/script_json.h"

namespace quillmere {
namespace {

class ScriptJsonLibrary : public testing::Test {
 protected:
  // The value of a script expression as text; for a script error, the error's name and message.
  Text Evaluate(std::string_view expression) {
    const Text guarded = "(function () { try { return String(" + Text(expression) +
                         "); } catch (e) { return e.name + ': ' + e.message; } })()";
    UniqueVariant result;
    if (FAILED(CallMethod(json_.Engine().Get(), L"Eval", &result, UniqueVariant::FromText(guarded)))) {
      return "(evaluation failed)";
    }
    return result.ToText();
  }

  ScriptJson json_;
};

struct Case {
  const char* expression;
  const char* want;
};

TEST_F(ScriptJsonLibrary, IsTheJsonThatRuns) {
  // The engine has no JSON of its own: every case below runs the library's.
  EXPECT_EQ(Evaluate("JSON.stringify.toString().indexOf('serialise') > 0"), "true");
  EXPECT_EQ(Evaluate("JSON.parse.toString().indexOf('skeleton') > 0"), "true");
}

TEST_F(ScriptJsonLibrary, StringifyValues) {
  const Case cases[] = {
      {"JSON.stringify(null)", "null"},
      {"JSON.stringify(true)", "true"},
      {"JSON.stringify(-1.5)", "-1.5"},
      {"JSON.stringify(1 / 0)", "null"},
      {"JSON.stringify(NaN)", "null"},
      {"typeof JSON.stringify(undefined)", "undefined"},
      {"typeof JSON.stringify(function () {})", "undefined"},
      {"JSON.stringify([])", "[]"},
      {"JSON.stringify({})", "{}"},
      {"JSON.stringify({a: undefined, b: function () {}, c: [undefined, function () {}], d: 'x'})",
       R"({"c":[null,null],"d":"x"})"},
      {"JSON.stringify({n: 1, s: '文', l: [1, [2, {}]], o: {p: null}})",
       R"({"n":1,"s":"文","l":[1,[2,{}]],"o":{"p":null}})"},
      {"JSON.stringify(new String('s'))", R"("s")"},
      {"JSON.stringify([new Number(3), new Boolean(false)])", "[3,false]"},
      {"JSON.stringify(new Date(Date.UTC(2020, 6, 2, 8, 0, 5, 123)))", R"("2020-07-02T08:00:05Z")"},
      {"JSON.stringify(new Date(NaN))", "null"},
      {"JSON.stringify({d: new Date(0)})", R"({"d":"1970-01-01T00:00:00Z"})"},
      // Only own members are written, also when the prototype has enumerable ones (toJSONString among them).
      {"(function () { function F() { this.own = 1; } F.prototype.inherited = 2; return JSON.stringify(new "
       "F()); })()",
       R"({"own":1})"},
      {"({a: [1, 'b']}).toJSONString()", R"({"a":[1,"b"]})"},
  };
  for (const Case& c : cases) EXPECT_EQ(Evaluate(c.expression), c.want) << c.expression;
}

TEST_F(ScriptJsonLibrary, StringifyEscapes) {
  const Case cases[] = {
      {R"(JSON.stringify('q"b\\s/'))", R"("q\"b\\s/")"},
      {R"(JSON.stringify('\b\t\n\f\r'))", R"("\b\t\n\f\r")"},
      {R"(JSON.stringify('\u0000\u0001\u001f\u007f\u009f\u00ad'))",
       R"("\u0000\u0001\u001f\u007f\u009f\u00ad")"},
      {R"(JSON.stringify('\u0600\u0604\u070f\u17b4\u17b5\u200c\u200f'))",
       R"("\u0600\u0604\u070f\u17b4\u17b5\u200c\u200f")"},
      {R"(JSON.stringify('\u2028\u202f\u2060\u206f\ufeff\ufff0\uffff'))",
       R"("\u2028\u202f\u2060\u206f\ufeff\ufff0\uffff")"},
      // Neighbours of the escaped ranges stay as they are.
      {R"(JSON.stringify('\u0020\u00a0\u0605\u2027\u2030\uffef').length)", "8"},
      {R"(JSON.stringify('\u00a0\u2030') == '"\u00a0\u2030"')", "true"},
      // The backslash placeholder of stored texts is left alone.
      {"JSON.stringify(String.fromCharCode(9216)) == '\"' + String.fromCharCode(9216) + '\"'", "true"},
      {R"(JSON.stringify({'a"b': 1}))", R"({"a\"b":1})"},
  };
  for (const Case& c : cases) EXPECT_EQ(Evaluate(c.expression), c.want) << c.expression;
}

TEST_F(ScriptJsonLibrary, StringifyReplacersAndSpaces) {
  const Case cases[] = {
      {"JSON.stringify({a: 1, b: [1, 2], c: {}}, null, 2)",
       "{\n  \"a\": 1,\n  \"b\": [\n    1,\n    2\n  ],\n  \"c\": {}\n}"},
      {"JSON.stringify([1, {x: 'y'}], null, '\\t')", "[\n\t1,\n\t{\n\t\t\"x\": \"y\"\n\t}\n]"},
      {"JSON.stringify([1], null, 20)", "[\n          1\n]"},
      {"JSON.stringify([1], null, 'abcdefghijklmn')", "[\nabcdefghij1\n]"},
      {"JSON.stringify({a: 1}, null, 0)", R"({"a":1})"},
      {"JSON.stringify({a: 1, b: 'x', c: {d: 2}}, function (k, v) { return typeof v === 'number' ? v * 10 : "
       "v; })",
       R"({"a":10,"b":"x","c":{"d":20}})"},
      {"JSON.stringify({a: 1, b: 2}, function (k, v) { return k === 'a' ? undefined : v; })", R"({"b":2})"},
      {"(function () { var keys = []; JSON.stringify({a: [5]}, function (k, v) { keys.push(k); return v; });"
       " return keys.join(','); })()",
       ",a,0"},
      {"JSON.stringify({a: 1, b: 2, c: {a: 3, z: 4}}, ['c', 'a'])", R"({"c":{"a":3},"a":1})"},
      {"JSON.stringify(1, 5)", "Error: JSON.stringify"},
      {"JSON.stringify(1, {})", "Error: JSON.stringify"},
  };
  for (const Case& c : cases) EXPECT_EQ(Evaluate(c.expression), c.want) << c.expression;
}

TEST_F(ScriptJsonLibrary, ParseValidTexts) {
  const Case cases[] = {
      {R"(JSON.stringify(JSON.parse(' {"a" : [1, 2.5e1, -0.5, "x\\"y", true, false, null], "b": {}} ')))",
       R"({"a":[1,25,-0.5,"x\"y",true,false,null],"b":{}})"},
      {R"(JSON.parse('"\\u0041\\n\\/"'))", "A\n/"},
      {R"(JSON.parse('[[[]], {"k": [[1]]}]')[1].k[0][0])", "1"},
      {R"(JSON.parse('"\u2028"').charCodeAt(0))", "8232"},
      {R"(JSON.parse('"\ufeff\u0000"').length)", "2"},
      {"JSON.parse('3')", "3"},
      {"'[1, 2]'.parseJSON().length", "2"},
  };
  for (const Case& c : cases) EXPECT_EQ(Evaluate(c.expression), c.want) << c.expression;
}

TEST_F(ScriptJsonLibrary, ParseRefusesTextsThatAreNotJson) {
  const char* const texts[] = {
      "{a: 1}",       "alert(1)", R"(\"\\x41\")",           "'single'",  "1 + 1", "function () {}",
      "[1, 2] + [3]", "x = 1",    R"({\"a\": new Date()})", "undefined",
  };
  for (const char* text : texts) {
    EXPECT_EQ(Evaluate("JSON.parse(\"" + Text(text) + "\")"), "SyntaxError: JSON.parse") << text;
  }
}

TEST_F(ScriptJsonLibrary, ParseAppliesTheReviverBottomUp) {
  const Case cases[] = {
      {"JSON.stringify(JSON.parse('{\"a\": 1, \"b\": {\"c\": 2, \"d\": 3}}',"
       " function (k, v) { return k === 'd' ? undefined : typeof v === 'number' ? v + 1 : v; }))",
       R"({"a":2,"b":{"c":3}})"},
      {"(function () { var keys = []; JSON.parse('{\"a\": {\"b\": 1}, \"c\": [2]}',"
       " function (k, v) { keys.push(k); return v; }); return keys.join(','); })()",
       "b,a,0,c,"},
      {"typeof JSON.parse('{}', function () { return undefined; })", "undefined"},
  };
  for (const Case& c : cases) EXPECT_EQ(Evaluate(c.expression), c.want) << c.expression;
}

}  // namespace
}  // namespace quillmere
