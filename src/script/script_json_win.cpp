#include "script/script_json.h"

#include <cmath>

#include "script/document_text.h"
#include "script/script_json_library.h"
#include "script/script_texts.h"

namespace quillmere {

namespace {

// Each returned text and JSON text passes through this tail, which turns the placeholder U+2400 of stored
// backslashes back into backslashes (the script reads '\\' as one backslash).
constexpr std::string_view kRestoreBackslashes = ".replace(str_reg, '\\\\')";

// Joins the leaf values: a text that no document value is expected to hold.
constexpr std::string_view kLeafSeparator = "[2020年7月20日20时0分0秒]";

Text JsonOf(std::string_view expression) {
  return "JSON.stringify(" + Text(expression) + ")" + Text(kRestoreBackslashes);
}

// A result taken as a truth value the way the script takes one: false, 0, NaN, the empty text, null and
// undefined are false, every other value (objects and arrays among them) is true.
bool ScriptTruth(const UniqueVariant& result) {
  switch (result.Type()) {
    case VT_EMPTY:
    case VT_NULL:
      return false;
    case VT_BSTR:
      return result.Get().bstrVal != nullptr && SysStringLen(result.Get().bstrVal) > 0;
    case VT_DISPATCH:
      return result.Get().pdispVal != nullptr;
    case VT_R8:
      return !std::isnan(result.Get().dblVal) && result.Get().dblVal != 0;
    default:
      return result.ToBool();
  }
}

Text ItemOf(std::string_view path, int index) { return Text(path) + "[" + std::to_string(index) + "]"; }

}  // namespace

ScriptJson::ScriptJson() : rootName_("da") { Init(); }

ScriptJson::ScriptJson(const ScriptJson& other) : rootName_(other.rootName_), engine_(other.engine_) {}

ScriptJson::~ScriptJson() = default;

ScriptJson ScriptJson::Copy() const { return *this; }

void ScriptJson::Init() {
  if (FAILED(CreateDispatch(L"MSScriptControl.ScriptControl", engine_))) {
    engine_.Reset();
    return;
  }
  PutProperty(engine_.Get(), L"Language", UniqueVariant::FromText("JavaScript"));
  // Failures are results here: the control must never ask the user anything.
  PutProperty(engine_.Get(), L"AllowUI", UniqueVariant::FromBool(false));
  // Documents arrive from outside (a reply from the network): the engine refuses what the safe subset
  // refuses, on top of running nothing but JSON texts.
  PutProperty(engine_.Get(), L"UseSafeSubset", UniqueVariant::FromBool(true));
  AddCode(kScriptJsonLibrary);
  Evaluate(
      "var " + rootName_ + " = {}, str_Code = String.fromCharCode(9216), str_reg = new RegExp(str_Code, 'g')",
      nullptr);
}

bool ScriptJson::Parse(std::string_view text, bool direct) {
  // Only an engine that exists is made anew: an object whose script control was missing stays without one.
  if (engine_) {
    engine_.Reset();
    Init();
  }
  if (!engine_) return false;
  Evaluate("var " + rootName_ + " = null", nullptr);
  if (!IsDocumentText(text, direct)) return false;
  if (direct) {
    AddCode("var " + rootName_ + " = " + Text(text));
  } else {
    AddCode("var " + rootName_ + " = eval(" + Text(text) + ")");
  }
  return EvaluateTruth(rootName_ + " != null");
}

bool ScriptJson::Clear() { return EvaluateTruth(rootName_ + " = {}"); }

Text ScriptJson::ToText() { return EvaluateText(JsonOf(rootName_)); }

bool ScriptJson::SetValue(std::string_view path, std::string_view value, bool asJson) {
  Text resolved(path);
  const bool exists = ResolvePath(resolved);
  if (!asJson) {
    // The script string equals the value; each of its backslashes is then stored as the placeholder.
    return EvaluateTruth(resolved + " = '" + EscapeForScriptString(value) + "'.replace(/\\\\/g, str_Code)");
  }
  const Text source = value.empty() ? Text("{}") : Text(value);
  const Text kind = EvaluateText("Object.prototype.toString.call(" + resolved + ")");
  if (exists && kind == "[object Object]") {
    return EvaluateTruth(resolved + " = get__extend(" + resolved + ", " + source + ")");
  }
  return EvaluateTruth(resolved + " = eval(" + Text(value) + ")");
}

bool ScriptJson::SetExpression(std::string_view path, std::string_view expression) {
  return EvaluateTruth(Resolved(path) + " = eval(" + Text(expression) + ")");
}

bool ScriptJson::ResolvePath(Text& path) {
  if (path.starts_with(rootName_) && EvaluateTruth(path + " != null")) return true;
  path = PathBelowRoot(path, rootName_);
  return EvaluateTruth(path + " != null");
}

bool ScriptJson::Exists(std::string_view path) {
  Text resolved(path);
  return ResolvePath(resolved);
}

int ScriptJson::TypeOf(std::string_view path) {
  const Text resolved = Resolved(path);
  if (EvaluateTruth(resolved + " == null")) return kJsonTypeNull;
  return TypeCodeOf(EvaluateText("Object.prototype.toString.call(" + resolved + ")"));
}

Text ScriptJson::GetText(std::string_view path, bool asJson) {
  const Text resolved = Resolved(path);
  if (asJson) return EvaluateText(JsonOf(resolved));
  return EvaluateText(resolved + ".toString()" + Text(kRestoreBackslashes));
}

int ScriptJson::MemberNames(TextList& names, std::string_view path) {
  names = SplitText(EvaluateText("get__name_All(" + Resolved(path) + ")"), "\r\n");
  return static_cast<int>(names.size());
}

int ScriptJson::Count(std::string_view path) {
  return static_cast<int>(EvaluateNumber("get__count(" + Resolved(path) + ")"));
}

ScriptJson ScriptJson::GetObject(std::string_view path) { return DocumentOf(JsonOf(Resolved(path))); }

bool ScriptJson::Append(std::string_view value, std::string_view path, bool raw) {
  const Text resolved = Resolved(path);
  return EvaluateTruth("if (Object.prototype.toString.call(" + resolved + ") != '[object Array]') { " +
                       resolved + " = new Array() } " + resolved + ".push(" + ScriptValue(value, raw) + ")");
}

ScriptJson ScriptJson::GetItemObject(int index, std::string_view path) {
  return DocumentOf(JsonOf(ItemOf(Resolved(path), index)));
}

Text ScriptJson::GetItemText(int index, std::string_view path, bool asJson) {
  const Text item = ItemOf(Resolved(path), index);
  if (asJson) return EvaluateText(JsonOf(item));
  // Only a string element has replace; any other kind fails and gives the empty text.
  return EvaluateText(item + Text(kRestoreBackslashes));
}

bool ScriptJson::SetItem(int index, std::string_view path, std::string_view value, bool raw) {
  return EvaluateTruth(ItemOf(Resolved(path), index) + " = " + ScriptValue(value, raw));
}

bool ScriptJson::RemoveItem(int index, std::string_view path) {
  return EvaluateTruth(Resolved(path) + ".splice(" + std::to_string(index) + ", 1)");
}

bool ScriptJson::Remove(std::string_view path) { return EvaluateTruth("delete " + Resolved(path)); }

bool ScriptJson::SetNumber(std::string_view path, double number) {
  return EvaluateTruth(Resolved(path) + " = " + ScriptNumber(number));
}

double ScriptJson::GetNumber(std::string_view path) { return EvaluateNumber(Resolved(path)); }

Text ScriptJson::GetJson(std::string_view path) { return EvaluateText(JsonOf(Resolved(path))); }

ComPtr<IDispatch> ScriptJson::Engine() { return engine_; }

int ScriptJson::LeafValues(TextList& values, std::string_view path, bool recursive) {
  const Text resolved = Resolved(path);
  Evaluate("var str_all = new Array()", nullptr);
  Evaluate("get__nodeValue(" + resolved + ", " + (recursive ? "true" : "false") + ")", nullptr);
  values = SplitText(EvaluateText("str_all.join('" + Text(kLeafSeparator) + "')"), kLeafSeparator);
  return static_cast<int>(values.size());
}

bool ScriptJson::Evaluate(std::string_view script, UniqueVariant* result) {
  if (!engine_) return false;
  return SUCCEEDED(CallMethod(engine_.Get(), L"Eval", result, UniqueVariant::FromText(script)));
}

bool ScriptJson::EvaluateTruth(std::string_view script) {
  UniqueVariant result;
  return Evaluate(script, &result) && ScriptTruth(result);
}

Text ScriptJson::EvaluateText(std::string_view script) {
  UniqueVariant result;
  return Evaluate(script, &result) ? result.ToText() : Text();
}

double ScriptJson::EvaluateNumber(std::string_view script) {
  UniqueVariant result;
  return Evaluate(script, &result) ? result.ToDouble() : 0;
}

void ScriptJson::AddCode(std::string_view code) {
  if (engine_) CallMethod(engine_.Get(), L"AddCode", nullptr, UniqueVariant::FromText(code));
}

Text ScriptJson::Resolved(std::string_view path) {
  Text resolved(path);
  ResolvePath(resolved);
  return resolved;
}

ScriptJson ScriptJson::DocumentOf(std::string_view jsonExpression) {
  ScriptJson document;
  document.Parse(EvaluateText(jsonExpression), false);
  return document;
}

}  // namespace quillmere
