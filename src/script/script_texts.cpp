#include "script/script_texts.h"

#include <cstdio>

#include "script/script_json_type.h"

namespace quillmere {

Text EscapeForScriptString(std::string_view value) {
  Text escaped = ReplaceText(value, "\\", "\\\\");
  escaped = ReplaceText(escaped, "'", "\\'");
  escaped = ReplaceText(escaped, "\"", "\\\"");
  escaped = ReplaceText(escaped, "\r", "\\r");
  return ReplaceText(escaped, "\n", "\\n");
}

Text ScriptNumber(double number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.13g", number);
  return buffer;
}

Text ScriptValue(std::string_view value, bool raw) {
  if (raw) return Text(value);
  Text quoted = "'";
  quoted.append(value).append("'");
  return quoted;
}

Text PathBelowRoot(std::string_view path, std::string_view rootName) {
  if (path.empty()) return Text(rootName);
  Text rooted(rootName);
  if (path.front() != '[') rooted += '.';
  return rooted.append(path);
}

int TypeCodeOf(std::string_view typeText) {
  if (typeText == "[object Boolean]") return kJsonTypeBoolean;
  if (typeText == "[object Number]") return kJsonTypeNumber;
  if (typeText == "[object Object]") return kJsonTypeObject;
  if (typeText == "[object Array]") return kJsonTypeArray;
  if (typeText == "[object String]") return kJsonTypeString;
  return kJsonTypeInvalid;
}

}  // namespace quillmere
