// The two memory routines the compiler calls for copies and clears of larger objects; without the C runtime
// the library brings its own. The loops are built with -fno-tree-loop-distribute-patterns, so that they are
// not turned back into calls to themselves.
#include <cstddef>

extern "C" {

void* memcpy(void* destination, const void* source, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  const auto* from = static_cast<const unsigned char*>(source);
  while (count-- > 0) *to++ = *from++;
  return destination;
}

void* memset(void* destination, int value, std::size_t count) {
  auto* to = static_cast<unsigned char*>(destination);
  while (count-- > 0) *to++ = static_cast<unsigned char>(value);
  return destination;
}

}  // extern "C"
