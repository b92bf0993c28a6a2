#include <windows.h>

#include "native/virtual_region.h"

namespace quillmere {

void ReleaseVirtualRegion(void* start) { VirtualFree(start, 0, MEM_RELEASE); }

VirtualRegion AllocateVirtualRegion(std::uintptr_t preferredAddress, std::uint32_t size) {
  void* start = VirtualAlloc(reinterpret_cast<void*>(preferredAddress), size, MEM_COMMIT | MEM_RESERVE,
                             PAGE_EXECUTE_READWRITE);
  if (start == nullptr) start = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
  return VirtualRegion(start);
}

}  // namespace quillmere
