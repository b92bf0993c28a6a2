// The platform-free pieces of the scripts that the JSON document object has its engine evaluate.
#pragma once

#include <string_view>

#include "text/text.h"

namespace quillmere {

// The value written inside a single-quoted script string so that the string equals the value: backslashes,
// both quotes, CR and LF escaped, every other byte as it stands.
Text EscapeForScriptString(std::string_view value);

// The number as a script literal with at most 13 significant digits (0.5, 3, 1.234567890123e+15).
Text ScriptNumber(double number);

// A value for a script expression: the text between single quotes, unescaped, or the text itself when `raw`.
Text ScriptValue(std::string_view value, bool raw);

// The path as an expression below the root: the root itself for an empty path, root[...] for a path that
// starts with a bracket, root.path for anything else.
Text PathBelowRoot(std::string_view path, std::string_view rootName);

// The type code for the text that Object.prototype.toString gives for a value that is not null.
int TypeCodeOf(std::string_view typeText);

}  // namespace quillmere
