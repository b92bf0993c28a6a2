#include "native/pe_image.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace quillmere {

static_assert(std::endian::native == std::endian::little, "PE records are read in place as little-endian");

namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

// Offsets are 64-bit here, so that an RVA plus a size read from the image can never wrap around.
bool Holds(std::size_t spanSize, std::uint64_t offset, std::uint64_t length) {
  return offset <= spanSize && length <= spanSize - offset;
}

template <typename Record>
bool ReadRecord(std::span<const std::uint8_t> bytes, std::uint64_t offset, Record& record) {
  if (!Holds(bytes.size(), offset, sizeof(Record))) return false;
  std::memcpy(&record, bytes.data() + offset, sizeof(Record));
  return true;
}

bool WriteWord(std::span<std::uint8_t> bytes, std::uint64_t offset, std::uint32_t word) {
  if (!Holds(bytes.size(), offset, sizeof(word))) return false;
  std::memcpy(bytes.data() + offset, &word, sizeof(word));
  return true;
}

// The zero-terminated name at `offset`; nothing when its terminator is not inside the bytes.
std::optional<std::string_view> NameAt(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  if (offset >= bytes.size()) return std::nullopt;
  const auto* start = reinterpret_cast<const char*>(bytes.data() + offset);
  const std::size_t room = bytes.size() - static_cast<std::size_t>(offset);
  const void* end = std::memchr(start, '\0', room);
  if (end == nullptr) return std::nullopt;
  return std::string_view(start, static_cast<std::size_t>(static_cast<const char*>(end) - start));
}

std::uint64_t AlignUpWide(std::uint64_t value, std::uint32_t alignment) {
  if (alignment == 0) return 0;
  return (value + alignment - 1) / alignment * alignment;
}

const ImageDataDirectory& Directory(const PeHeaders& headers, std::size_t index) {
  return headers.nt.OptionalHeader.DataDirectory[index];
}

}  // namespace

bool ReadHeaders(std::span<const std::uint8_t> raw, PeHeaders& headers) {
  if (!ReadRecord(raw, 0, headers.dos)) return false;
  if (headers.dos.e_magic != kDosSignature) return false;
  const std::uint64_t ntOffset = headers.dos.e_lfanew;
  if (!ReadRecord(raw, ntOffset, headers.nt)) return false;
  const ImageFileHeader& file = headers.nt.FileHeader;
  if (headers.nt.Signature != kNtSignature) return false;
  if ((file.Characteristics & kExecutableImage) == 0) return false;
  if (file.SizeOfOptionalHeader != kOptionalHeader32Size) return false;
  // The headers are copied to the image whole, so they must lie inside the raw bytes.
  if (headers.nt.OptionalHeader.SizeOfHeaders > raw.size()) return false;

  headers.sections.assign(file.NumberOfSections, ImageSectionHeader{});
  const std::uint64_t tableOffset = ntOffset + sizeof(ImageNtHeaders32);
  for (std::size_t i = 0; i < headers.sections.size(); ++i) {
    ImageSectionHeader& section = headers.sections[i];
    if (!ReadRecord(raw, tableOffset + sizeof(ImageSectionHeader) * i, section)) return false;
    if (!Holds(raw.size(), section.PointerToRawData, section.SizeOfRawData)) return false;
  }
  return true;
}

std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment) {
  const std::uint64_t aligned = AlignUpWide(value, alignment);
  return aligned > kMax32 ? 0 : static_cast<std::uint32_t>(aligned);
}

std::uint32_t ImageSize(const PeHeaders& headers) {
  const std::uint32_t alignment = headers.nt.OptionalHeader.SectionAlignment;
  std::uint64_t size = AlignUpWide(headers.nt.OptionalHeader.SizeOfHeaders, alignment);
  for (const ImageSectionHeader& section : headers.sections) {
    const std::uint64_t end =
        std::uint64_t{section.VirtualAddress} + std::max(section.VirtualSize, section.SizeOfRawData);
    size = std::max(size, AlignUpWide(end, alignment));
  }
  return size > kMax32 ? 0 : static_cast<std::uint32_t>(size);
}

bool CopyImage(const PeHeaders& headers, std::span<const std::uint8_t> raw, std::span<std::uint8_t> image) {
  const std::uint32_t headerSize = headers.nt.OptionalHeader.SizeOfHeaders;
  if (!Holds(raw.size(), 0, headerSize) || !Holds(image.size(), 0, headerSize)) return false;
  std::memcpy(image.data(), raw.data(), headerSize);
  for (const ImageSectionHeader& section : headers.sections) {
    // A section at address 0 ends the copy: it and every later one are left out.
    if (section.VirtualAddress == 0) break;
    if (!Holds(raw.size(), section.PointerToRawData, section.SizeOfRawData)) return false;
    if (!Holds(image.size(), section.VirtualAddress, section.SizeOfRawData)) return false;
    if (section.SizeOfRawData == 0) continue;
    std::memcpy(image.data() + section.VirtualAddress, raw.data() + section.PointerToRawData,
                section.SizeOfRawData);
  }
  return true;
}

bool Relocate(const PeHeaders& headers, std::span<std::uint8_t> image, std::uint32_t loadAddress) {
  const std::uint32_t delta = loadAddress - headers.nt.OptionalHeader.ImageBase;
  std::uint64_t blockOffset = Directory(headers, kBaseRelocationDirectory).VirtualAddress;
  if (blockOffset >= image.size()) return false;
  while (blockOffset < image.size()) {
    ImageBaseRelocation block{};
    if (!ReadRecord<ImageBaseRelocation>(image, blockOffset, block)) return false;
    if (block.VirtualAddress == 0) return true;
    // A block shorter than its header would never move the walk on; one past the image has no entries to
    // read.
    if (block.SizeOfBlock < sizeof(block) || !Holds(image.size(), blockOffset, block.SizeOfBlock))
      return false;
    const std::size_t entryCount = (block.SizeOfBlock - sizeof(block)) / sizeof(std::uint16_t);
    for (std::size_t i = 0; i < entryCount; ++i) {
      std::uint16_t entry = 0;
      std::memcpy(&entry, image.data() + blockOffset + sizeof(block) + sizeof(entry) * i, sizeof(entry));
      if (entry >> 12 != kRelocationHighLow) continue;
      const std::uint64_t site = std::uint64_t{block.VirtualAddress} + (entry & 0xFFF);
      std::uint32_t value = 0;
      if (!ReadRecord<std::uint32_t>(image, site, value)) return false;
      WriteWord(image, site, value + delta);
    }
    blockOffset += block.SizeOfBlock;
  }
  return true;
}

bool ResolveImports(const PeHeaders& headers, std::span<std::uint8_t> image, ImportResolver& resolver) {
  const std::uint64_t tableOffset = Directory(headers, kImportDirectory).VirtualAddress;
  if (tableOffset == 0) return true;
  for (std::uint64_t descriptorOffset = tableOffset;; descriptorOffset += sizeof(ImageImportDescriptor)) {
    ImageImportDescriptor descriptor{};
    if (!ReadRecord<ImageImportDescriptor>(image, descriptorOffset, descriptor)) return false;
    if (descriptor.FirstThunk == 0) return true;
    const std::optional<std::string_view> moduleName = NameAt(image, descriptor.Name);
    if (!moduleName) return false;
    const std::uint32_t module = resolver.Module(moduleName->data());
    if (module == 0) return false;
    // The thunks name what they import and then hold its address: each is overwritten as the walk goes.
    for (std::uint64_t thunkOffset = descriptor.FirstThunk;; thunkOffset += sizeof(std::uint32_t)) {
      std::uint32_t thunk = 0;
      if (!ReadRecord<std::uint32_t>(image, thunkOffset, thunk)) return false;
      if (thunk == 0) break;
      std::uint32_t procedure = 0;
      if (thunk & kImportByOrdinal) {
        procedure = resolver.ProcedureByOrdinal(module, static_cast<std::uint16_t>(thunk & 0xFFFF));
      } else {
        // An IMAGE_IMPORT_BY_NAME: a 2-byte hint, then the name.
        const std::optional<std::string_view> name = NameAt(image, std::uint64_t{thunk} + 2);
        if (!name) return false;
        procedure = resolver.ProcedureByName(module, name->data());
      }
      if (procedure == 0) return false;
      WriteWord(image, thunkOffset, procedure);
    }
  }
}

std::optional<std::uint32_t> FindExportRva(const PeHeaders& headers, std::span<const std::uint8_t> image,
                                           std::string_view name) {
  const ImageDataDirectory& directory = Directory(headers, kExportDirectory);
  if (directory.Size == 0) return std::nullopt;
  ImageExportDirectory exports{};
  if (!ReadRecord(image, directory.VirtualAddress, exports)) return std::nullopt;
  const std::uint64_t functionCount = exports.NumberOfFunctions;
  const std::uint64_t nameCount = exports.NumberOfNames;
  if (!Holds(image.size(), exports.AddressOfFunctions, functionCount * 4)) return std::nullopt;
  if (!Holds(image.size(), exports.AddressOfNames, nameCount * 4)) return std::nullopt;
  if (!Holds(image.size(), exports.AddressOfNameOrdinals, nameCount * 2)) return std::nullopt;
  if (nameCount == 0) return std::nullopt;

  const std::string_view wanted = name.substr(0, name.find('\0'));
  // The names are read one after another from the first one on, as the linker lays them out.
  std::uint32_t nameOffset = 0;
  ReadRecord(image, exports.AddressOfNames, nameOffset);
  std::uint64_t offset = nameOffset;
  for (std::uint64_t i = 0; i < nameCount; ++i) {
    const std::optional<std::string_view> exported = NameAt(image, offset);
    if (!exported) return std::nullopt;
    if (*exported == wanted) {
      std::uint16_t ordinal = 0;
      ReadRecord(image, exports.AddressOfNameOrdinals + 2 * i, ordinal);
      if (ordinal >= functionCount) return std::nullopt;
      std::uint32_t rva = 0;
      ReadRecord(image, exports.AddressOfFunctions + 4 * std::uint64_t{ordinal}, rva);
      if (rva >= image.size()) return std::nullopt;
      return rva;
    }
    offset += exported->size() + 1;
  }
  return std::nullopt;
}

}  // namespace quillmere
