// Maps a 32-bit DLL image held in the program's memory without writing it to a file: checks its headers,
// allocates and fills the image, relocates it, binds its imports through the system loader and calls its
// entry point; then finds exports by name, and detaches and releases the image again. The image walking
// itself is native/pe_image.h; this class puts it on the real platform's memory and loader.
//
// The operations are virtual in a fixed order (destructor, copy, then Load to ResolveImports), the layout
// callers of the object rely on. The steps of Load (ReadHeaders to ResolveImports) work on the header copies
// that the last ReadHeaders filled; they refuse (false) what would read or write outside the raw bytes or the
// image, so a malformed image is never loaded.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "native/pe_image.h"

namespace quillmere {

class MemoryModule {
 public:
  MemoryModule() = default;
  // Leaves a loaded image mapped and attached: only Unload releases it.
  virtual ~MemoryModule();
  // The header copies and the same image base; the image itself is shared, not duplicated.
  virtual std::unique_ptr<MemoryModule> Copy() const;

  // False when an image is already loaded, the headers fail their checks, no memory is had, an import is not
  // found or the entry point refuses; the object is then left empty.
  virtual bool Load(std::span<const std::uint8_t> bytes);
  // Detaches (entry point with reason 0) and releases the image; nothing when empty.
  virtual void Unload();
  // The address of the export whose name is exactly `name`; 0 when empty or not found.
  virtual std::uintptr_t FindExport(std::string_view name) const;
  // Image base + AddressOfEntryPoint; 0 when empty.
  virtual std::uintptr_t EntryPoint() const;
  // The image base; 0 when empty.
  virtual std::uintptr_t ModuleHandle() const;

  virtual bool ReadHeaders(const std::uint8_t* raw, std::uint32_t size);
  virtual std::uint32_t ImageSize() const;
  virtual std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) const;
  // `image` holds ImageSize() zeroed bytes, `raw` the bytes ReadHeaders checked.
  virtual bool CopyImage(std::uint8_t* image, const std::uint8_t* raw);
  virtual bool Relocate(std::uint8_t* image);
  virtual bool ResolveImports(std::uint8_t* image);

 protected:
  MemoryModule(const MemoryModule&) = default;
  MemoryModule& operator=(const MemoryModule&) = delete;

 private:
  bool IsDll() const;
  std::span<std::uint8_t> Image(std::uint8_t* image) const;
  std::uint32_t CallEntryPoint(std::uintptr_t imageBase, std::uint32_t reason) const;

  std::uintptr_t imageBase_ = 0;
  std::uint32_t imageSize_ = 0;  // of the loaded image
  PeHeaders headers_;
  std::uint32_t rawSize_ = 0;  // of the bytes the last ReadHeaders checked
};

}  // namespace quillmere
