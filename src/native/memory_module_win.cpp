#include <windows.h>

#include <utility>

#include "native/call_by_address.h"
#include "native/memory_module.h"
#include "native/virtual_region.h"

namespace quillmere {

static_assert(sizeof(std::size_t) == 4, "the image is mapped into a 32-bit address space");

namespace {

constexpr std::uint32_t kProcessDetach = 0;
constexpr std::uint32_t kProcessAttach = 1;

// The import walk's lookups on the system loader. Modules loaded here stay loaded for the process's life.
class SystemImportResolver final : public ImportResolver {
 public:
  std::uint32_t Module(const char* name) override {
    HMODULE module = GetModuleHandleA(name);
    if (module == nullptr) module = LoadLibraryA(name);
    return reinterpret_cast<std::uintptr_t>(module);
  }
  std::uint32_t ProcedureByName(std::uint32_t module, const char* name) override {
    return reinterpret_cast<std::uintptr_t>(GetProcAddress(AsModule(module), name));
  }
  std::uint32_t ProcedureByOrdinal(std::uint32_t module, std::uint16_t ordinal) override {
    return reinterpret_cast<std::uintptr_t>(GetProcAddress(AsModule(module), MAKEINTRESOURCEA(ordinal)));
  }

 private:
  static HMODULE AsModule(std::uint32_t module) { return reinterpret_cast<HMODULE>(std::uintptr_t{module}); }
};

}  // namespace

MemoryModule::~MemoryModule() = default;

std::unique_ptr<MemoryModule> MemoryModule::Copy() const {
  return std::unique_ptr<MemoryModule>(new MemoryModule(*this));
}

bool MemoryModule::Load(std::span<const std::uint8_t> bytes) {
  if (imageBase_ != 0) return false;
  if (!ReadHeaders(bytes.data(), bytes.size())) return false;
  const std::uint32_t size = ImageSize();
  if (size == 0) return false;
  // A DLL is entered at its entry point, which must then lie inside the image (0 would enter its headers).
  const std::uint32_t entry = headers_.nt.OptionalHeader.AddressOfEntryPoint;
  if (IsDll() && (entry == 0 || entry >= size)) return false;

  VirtualRegion region = AllocateVirtualRegion(headers_.nt.OptionalHeader.ImageBase, size);
  if (!region) return false;
  auto* image = static_cast<std::uint8_t*>(region.Get());
  if (!CopyImage(image, bytes.data())) return false;
  if (headers_.nt.OptionalHeader.DataDirectory[kBaseRelocationDirectory].Size > 0 && !Relocate(image)) {
    return false;
  }
  if (!ResolveImports(image)) return false;

  const auto base = reinterpret_cast<std::uintptr_t>(image);
  if (IsDll() && CallEntryPoint(base, kProcessAttach) == 0) {
    CallEntryPoint(base, kProcessDetach);
    return false;
  }
  imageBase_ = reinterpret_cast<std::uintptr_t>(region.Release());
  imageSize_ = size;
  return true;
}

void MemoryModule::Unload() {
  if (imageBase_ == 0) return;
  if (IsDll()) CallEntryPoint(imageBase_, kProcessDetach);
  ReleaseVirtualRegion(reinterpret_cast<void*>(std::exchange(imageBase_, 0)));
}

std::uintptr_t MemoryModule::FindExport(std::string_view name) const {
  if (imageBase_ == 0) return 0;
  const std::optional<std::uint32_t> rva =
      FindExportRva(headers_, std::span(reinterpret_cast<const std::uint8_t*>(imageBase_), imageSize_), name);
  return rva ? imageBase_ + *rva : 0;
}

std::uintptr_t MemoryModule::EntryPoint() const {
  return imageBase_ == 0 ? 0 : imageBase_ + headers_.nt.OptionalHeader.AddressOfEntryPoint;
}

std::uintptr_t MemoryModule::ModuleHandle() const { return imageBase_; }

bool MemoryModule::ReadHeaders(const std::uint8_t* raw, std::uint32_t size) {
  rawSize_ = size;
  return quillmere::ReadHeaders(std::span(raw, size), headers_);
}

std::uint32_t MemoryModule::ImageSize() const { return quillmere::ImageSize(headers_); }

std::uint32_t MemoryModule::AlignUp(std::uint32_t value, std::uint32_t alignment) const {
  return quillmere::AlignUp(value, alignment);
}

bool MemoryModule::CopyImage(std::uint8_t* image, const std::uint8_t* raw) {
  return quillmere::CopyImage(headers_, std::span(raw, rawSize_), Image(image));
}

bool MemoryModule::Relocate(std::uint8_t* image) {
  return quillmere::Relocate(headers_, Image(image), reinterpret_cast<std::uintptr_t>(image));
}

bool MemoryModule::ResolveImports(std::uint8_t* image) {
  SystemImportResolver resolver;
  return quillmere::ResolveImports(headers_, Image(image), resolver);
}

bool MemoryModule::IsDll() const { return (headers_.nt.FileHeader.Characteristics & kDllImage) != 0; }

std::span<std::uint8_t> MemoryModule::Image(std::uint8_t* image) const {
  return std::span(image, ImageSize());
}

// The entry point gets the image base, as a loader would pass it.
std::uint32_t MemoryModule::CallEntryPoint(std::uintptr_t imageBase, std::uint32_t reason) const {
  return CallByAddress(imageBase + headers_.nt.OptionalHeader.AddressOfEntryPoint, imageBase, reason, 0);
}

}  // namespace quillmere
