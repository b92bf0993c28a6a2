// The codes by which the JSON document object tells the kind of a value. No code 3 is used.
#pragma once

namespace quillmere {

enum ScriptJsonType : int {
  kJsonTypeInvalid = -1,  // anything else, or the path could not be evaluated
  kJsonTypeNull = 0,      // null, or a missing member
  kJsonTypeBoolean = 1,
  kJsonTypeNumber = 2,
  kJsonTypeObject = 4,
  kJsonTypeArray = 5,
  kJsonTypeString = 6,
};

}  // namespace quillmere
