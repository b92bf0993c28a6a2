// One owner for every kind of handle: the close function is part of the type, and so is the value that means
// "no handle" (null for most kinds, INVALID_HANDLE_VALUE for files).
#pragma once

#include <cstdint>
#include <utility>

namespace quillmere {

struct NullMeansInvalid {
  template <typename Handle>
  static Handle Value() {
    return Handle{};
  }
};

struct MinusOneMeansInvalid {
  template <typename Handle>
  static Handle Value() {
    return reinterpret_cast<Handle>(static_cast<std::intptr_t>(-1));
  }
};

template <typename Handle, auto Close, typename Invalid = NullMeansInvalid>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid::template Value<Handle>(); }

  Handle Release() { return std::exchange(handle_, Invalid::template Value<Handle>()); }

  void Reset(Handle handle = Invalid::template Value<Handle>()) {
    const Handle old = std::exchange(handle_, handle);
    if (old != Invalid::template Value<Handle>()) Close(old);
  }

 private:
  Handle handle_ = Invalid::template Value<Handle>();
};

}  // namespace quillmere
