// The program's skin file as a byte constant, made at build time from skin/quillmere_skin.txt (format in
// startup/skin_format.h).
#pragma once

#include <cstdint>
#include <span>

namespace quillmere {

extern const std::span<const std::uint8_t> kSkinFile;

}  // namespace quillmere
