// A JSON document that lives inside the system script engine ("MSScriptControl.ScriptControl", JavaScript):
// the document is the engine's global variable "da", and every operation evaluates a short script built from
// fixed pieces, the caller's path and value. Nothing of the document is held here. Copies share one engine,
// so a change through one is seen through all. Failures show nothing: they give false, an empty text or 0.
//
// A path is a member expression relative to the root ("list[0].name", "[2]"); the empty path is the root.
// Text values stored in plain mode keep each backslash as U+2400 inside the engine; the operations that hand
// back stored text or JSON turn it into a backslash again.
#pragma once

#include <string_view>

#include "script/com.h"
#include "script/script_json_type.h"
#include "text/text.h"

// <windows.h>, included by com.h, renames GetObject to GetObjectW; every user of this class sees the same
// rename, so the member keeps its name in the source.

namespace quillmere {

class ScriptJson {
 public:
  // Initialises COM on this thread for the object's lifetime and makes an engine with an empty document.
  ScriptJson();
  // A further reference to the same engine; the copy keeps COM initialised for its own lifetime too.
  ScriptJson(const ScriptJson& other);
  ScriptJson& operator=(const ScriptJson&) = delete;

  // The operations in their fixed order.
  virtual ~ScriptJson();
  virtual ScriptJson Copy() const;
  // A fresh engine holding the library and an empty document; no engine when the script control is missing.
  virtual void Init();
  // Replaces the engine by a fresh one whose root is `text` run as script (directly, or through eval when
  // `direct` is false); true when the root is then neither null nor undefined. Only a JSON text is run
  // (see document_text.h); any other leaves the root null.
  virtual bool Parse(std::string_view text, bool direct);
  virtual bool Clear();
  // The document as compact JSON.
  virtual Text ToText();
  // Stores `value` as a text, or in JSON mode as an expression that is merged into an object member or
  // replaces any other. The result is the truth value of what was assigned.
  virtual bool SetValue(std::string_view path, std::string_view value, bool asJson);
  virtual bool SetExpression(std::string_view path, std::string_view expression);
  // Turns `path` into the full expression below the root, in place; true when it names a value that is
  // neither null nor undefined.
  virtual bool ResolvePath(Text& path);
  virtual bool Exists(std::string_view path);
  virtual int TypeOf(std::string_view path);
  virtual Text GetText(std::string_view path, bool asJson);
  // Replaces `names` by the names of the object's members; the result is their number.
  virtual int MemberNames(TextList& names, std::string_view path);
  virtual int Count(std::string_view path);
  // A new, independent document holding a copy of the member.
  virtual ScriptJson GetObject(std::string_view path);
  // Appends to the array at `path` (made an array first when it is not one) the value as a quoted text,
  // or as an expression when `raw` is true.
  virtual bool Append(std::string_view value, std::string_view path, bool raw);
  virtual ScriptJson GetItemObject(int index, std::string_view path);
  virtual Text GetItemText(int index, std::string_view path, bool asJson);
  virtual bool SetItem(int index, std::string_view path, std::string_view value, bool raw);
  virtual bool RemoveItem(int index, std::string_view path);
  virtual bool Remove(std::string_view path);
  // Stores the number with at most 13 significant digits.
  virtual bool SetNumber(std::string_view path, double number);
  virtual double GetNumber(std::string_view path);
  virtual Text GetJson(std::string_view path);
  // The caller's own reference to the engine.
  virtual ComPtr<IDispatch> Engine();
  // Replaces `values` by the scalar values at `path` (and below it when `recursive`); the result is their
  // number.
  virtual int LeafValues(TextList& values, std::string_view path, bool recursive);

 private:
  // Evaluates `script` in the engine's global scope; false when there is no engine or the script fails.
  bool Evaluate(std::string_view script, UniqueVariant* result);
  bool EvaluateTruth(std::string_view script);
  Text EvaluateText(std::string_view script);
  double EvaluateNumber(std::string_view script);
  void AddCode(std::string_view code);
  Text Resolved(std::string_view path);
  ScriptJson DocumentOf(std::string_view jsonExpression);

  ComApartment apartment_;
  Text rootName_;
  ComPtr<IDispatch> engine_;
};

}  // namespace quillmere
