// A clock for the benchmarks: seconds from an arbitrary start, at the resolution of the performance counter.
#pragma once

#include <windows.h>

namespace quillmere {

inline double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace quillmere
