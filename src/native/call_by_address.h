// Calls 32-bit code at a raw address with ten 32-bit arguments, the first in the first place. The callee may
// take any number of them up to ten, and may remove its arguments on return (stdcall) or leave them (cdecl):
// the caller's stack pointer is the same afterwards either way.
#pragma once

#include <cstdint>

namespace quillmere {

std::uint32_t CallByAddress(std::uintptr_t address, std::uint32_t a1 = 0, std::uint32_t a2 = 0,
                            std::uint32_t a3 = 0, std::uint32_t a4 = 0, std::uint32_t a5 = 0,
                            std::uint32_t a6 = 0, std::uint32_t a7 = 0, std::uint32_t a8 = 0,
                            std::uint32_t a9 = 0, std::uint32_t a10 = 0);

}  // namespace quillmere
