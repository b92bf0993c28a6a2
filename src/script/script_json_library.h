// The library text that every JSON document engine runs first: its helpers and JSON for engines without it.
// Generated at build time from script_json_library.js.
#pragma once

namespace quillmere {

extern const char kScriptJsonLibrary[];

}  // namespace quillmere
