#include "app/file_io_win.h"

#include <algorithm>

#include "native/unique_handle.h"

namespace quillmere {
namespace {

using UniqueFile = UniqueHandle<HANDLE, &CloseHandle, MinusOneMeansInvalid>;

// Whole files are read and written in pieces no larger than this, as ReadFile and WriteFile take a 32-bit
// count.
constexpr DWORD kChunkBytes = 1 << 24;

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring(L".") : path.substr(0, separator + 1);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunkBytes));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr) || written != piece) return false;
    bytes.remove_prefix(piece);
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunkBytes));
    DWORD read = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, piece, &read, nullptr)) return std::nullopt;
    if (read == 0) break;  // the file shrank while it was read
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

bool ReplaceFileContent(const std::wstring& path, std::string_view bytes) {
  // A read-only file is not replaced. Windows refuses to move a file over it; Wine moves it all the same.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  wchar_t temporary[MAX_PATH + 1] = {};
  if (!GetTempFileNameW(FolderOf(path).c_str(), L"qlm", 0, temporary)) return false;
  bool written = false;
  {
    UniqueFile file(
        CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    written = file && WriteAll(file.Get(), bytes);
  }
  if (written && MoveFileExW(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(temporary);
  return false;
}

}  // namespace quillmere
