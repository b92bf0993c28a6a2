// Whole-file reading and a writing that never destroys the file it replaces.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace quillmere {

// The file's bytes; nullopt when it cannot be opened or read. It is opened for reading with every kind of
// sharing allowed, so a file another program holds open, or a read-only one, can still be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Writes `bytes` to a new file beside `path` and moves it over `path` only once it is written whole. On
// failure the old file is as it was and no new file is left behind.
bool ReplaceFileContent(const std::wstring& path, std::string_view bytes);

}  // namespace quillmere
