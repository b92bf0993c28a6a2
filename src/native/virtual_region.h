// The owner of a VirtualAlloc region: committed, readable, writable and executable memory, released whole.
#pragma once

#include <cstdint>

#include "native/unique_handle.h"

namespace quillmere {

void ReleaseVirtualRegion(void* start);

using VirtualRegion = UniqueHandle<void*, &ReleaseVirtualRegion>;

// A region of `size` bytes at `preferredAddress`, or anywhere when that fails; empty when neither works.
VirtualRegion AllocateVirtualRegion(std::uintptr_t preferredAddress, std::uint32_t size);

}  // namespace quillmere
