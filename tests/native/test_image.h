// Builds small 32-bit PE images byte by byte, for tests that need a well-formed image or one broken on
// purpose.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "native/pe_image.h"

namespace quillmere::testing {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2);
  std::memcpy(bytes.data() + offset, &value, 2);
}

inline void Put32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  if (bytes.size() < offset + 4) bytes.resize(offset + 4);
  std::memcpy(bytes.data() + offset, &value, 4);
}

inline std::uint32_t Get32(const std::uint8_t* bytes, std::size_t offset) {
  std::uint32_t value;
  std::memcpy(&value, bytes + offset, 4);
  return value;
}

// Writes the name and its terminating zero.
inline void PutName(Bytes& bytes, std::size_t offset, std::string_view name) {
  if (bytes.size() < offset + name.size() + 1) bytes.resize(offset + name.size() + 1);
  std::memcpy(bytes.data() + offset, name.data(), name.size());
  bytes[offset + name.size()] = 0;
}

// An image with its NT headers at 0x40, 0x200 bytes of headers, file alignment 0x200 and section alignment
// 0x1000, preferred base 0x10000000, marked as an executable DLL. Sections get their raw data in the order
// added.
class TestImage {
 public:
  static constexpr std::uint32_t kNtOffset = 0x40;
  static constexpr std::uint32_t kHeaderSize = 0x200;
  static constexpr std::uint32_t kImageBase = 0x10000000;

  TestImage() {
    nt_.Signature = kNtSignature;
    nt_.FileHeader.Machine = 0x14C;
    nt_.FileHeader.SizeOfOptionalHeader = kOptionalHeader32Size;
    nt_.FileHeader.Characteristics = kExecutableImage | kDllImage;
    nt_.OptionalHeader.Magic = 0x10B;
    nt_.OptionalHeader.ImageBase = kImageBase;
    nt_.OptionalHeader.SectionAlignment = 0x1000;
    nt_.OptionalHeader.FileAlignment = 0x200;
    nt_.OptionalHeader.SizeOfHeaders = kHeaderSize;
    nt_.OptionalHeader.NumberOfRvaAndSizes = kDataDirectoryCount;
  }

  // `contents` is the section's raw data; its virtual size is at least that.
  TestImage& AddSection(std::uint32_t virtualAddress, Bytes contents, std::uint32_t virtualSize = 0) {
    ImageSectionHeader section{};
    std::memcpy(section.Name, ".test\0\0", 8);
    section.VirtualAddress = virtualAddress;
    section.VirtualSize = virtualSize != 0 ? virtualSize : static_cast<std::uint32_t>(contents.size());
    section.SizeOfRawData = static_cast<std::uint32_t>((contents.size() + 0x1FF) / 0x200 * 0x200);
    section.PointerToRawData = section.SizeOfRawData == 0 ? 0 : rawEnd_;
    rawEnd_ += section.SizeOfRawData;
    contents.resize(section.SizeOfRawData);
    sections_.push_back(section);
    contents_.push_back(std::move(contents));
    return *this;
  }

  TestImage& SetDirectory(std::size_t index, std::uint32_t virtualAddress, std::uint32_t size) {
    nt_.OptionalHeader.DataDirectory[index] = {virtualAddress, size};
    return *this;
  }

  ImageNtHeaders32& Nt() { return nt_; }
  ImageSectionHeader& Section(std::size_t index) { return sections_[index]; }

  Bytes Build() const {
    Bytes bytes(rawEnd_, 0);
    ImageDosHeader dos{};
    dos.e_magic = kDosSignature;
    dos.e_lfanew = kNtOffset;
    ImageNtHeaders32 nt = nt_;
    nt.FileHeader.NumberOfSections = static_cast<std::uint16_t>(sections_.size());
    std::memcpy(bytes.data(), &dos, sizeof(dos));
    std::memcpy(bytes.data() + kNtOffset, &nt, sizeof(nt));
    for (std::size_t i = 0; i < sections_.size(); ++i) {
      std::memcpy(bytes.data() + kNtOffset + sizeof(nt) + sizeof(ImageSectionHeader) * i, &sections_[i],
                  sizeof(ImageSectionHeader));
      if (!contents_[i].empty()) {
        std::memcpy(bytes.data() + sections_[i].PointerToRawData, contents_[i].data(), contents_[i].size());
      }
    }
    return bytes;
  }

 private:
  ImageNtHeaders32 nt_{};
  std::vector<ImageSectionHeader> sections_;
  std::vector<Bytes> contents_;
  std::uint32_t rawEnd_ = kHeaderSize;
};

// The raw bytes mapped as a loader would: headers read, image allocated zeroed and copied.
struct MappedImage {
  PeHeaders headers;
  Bytes image;
  bool ok = false;
};

inline MappedImage Map(const Bytes& raw) {
  MappedImage mapped;
  if (!ReadHeaders(raw, mapped.headers)) return mapped;
  mapped.image.assign(ImageSize(mapped.headers), 0);
  mapped.ok = !mapped.image.empty() && CopyImage(mapped.headers, raw, mapped.image);
  return mapped;
}

}  // namespace quillmere::testing
