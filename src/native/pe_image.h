// Walking a 32-bit PE image held as bytes: header checks, the size of the mapped image, copying headers and
// sections into place, base relocation, the import walk and the export lookup. Nothing here touches the
// platform: the raw bytes and the mapped image are byte spans, and the mapped image's load address is a
// 32-bit number of its own, so the walk runs on any machine. Every offset, size and count read from the image
// is checked against the bytes it points into: a malformed image is refused, never read or written past its
// end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quillmere {

// The structures keep the field names of the PE/COFF format, so that they read as its documentation does.
struct ImageDosHeader {
  std::uint16_t e_magic;
  std::uint16_t e_cblp;
  std::uint16_t e_cp;
  std::uint16_t e_crlc;
  std::uint16_t e_cparhdr;
  std::uint16_t e_minalloc;
  std::uint16_t e_maxalloc;
  std::uint16_t e_ss;
  std::uint16_t e_sp;
  std::uint16_t e_csum;
  std::uint16_t e_ip;
  std::uint16_t e_cs;
  std::uint16_t e_lfarlc;
  std::uint16_t e_ovno;
  std::uint16_t e_res[4];
  std::uint16_t e_oemid;
  std::uint16_t e_oeminfo;
  std::uint16_t e_res2[10];
  std::uint32_t e_lfanew;
};

struct ImageFileHeader {
  std::uint16_t Machine;
  std::uint16_t NumberOfSections;
  std::uint32_t TimeDateStamp;
  std::uint32_t PointerToSymbolTable;
  std::uint32_t NumberOfSymbols;
  std::uint16_t SizeOfOptionalHeader;
  std::uint16_t Characteristics;
};

struct ImageDataDirectory {
  std::uint32_t VirtualAddress;
  std::uint32_t Size;
};

inline constexpr std::size_t kDataDirectoryCount = 16;
inline constexpr std::size_t kExportDirectory = 0;
inline constexpr std::size_t kImportDirectory = 1;
inline constexpr std::size_t kBaseRelocationDirectory = 5;

struct ImageOptionalHeader32 {
  std::uint16_t Magic;
  std::uint8_t MajorLinkerVersion;
  std::uint8_t MinorLinkerVersion;
  std::uint32_t SizeOfCode;
  std::uint32_t SizeOfInitializedData;
  std::uint32_t SizeOfUninitializedData;
  std::uint32_t AddressOfEntryPoint;
  std::uint32_t BaseOfCode;
  std::uint32_t BaseOfData;
  std::uint32_t ImageBase;
  std::uint32_t SectionAlignment;
  std::uint32_t FileAlignment;
  std::uint16_t MajorOperatingSystemVersion;
  std::uint16_t MinorOperatingSystemVersion;
  std::uint16_t MajorImageVersion;
  std::uint16_t MinorImageVersion;
  std::uint16_t MajorSubsystemVersion;
  std::uint16_t MinorSubsystemVersion;
  std::uint32_t Win32VersionValue;
  std::uint32_t SizeOfImage;
  std::uint32_t SizeOfHeaders;
  std::uint32_t CheckSum;
  std::uint16_t Subsystem;
  std::uint16_t DllCharacteristics;
  std::uint32_t SizeOfStackReserve;
  std::uint32_t SizeOfStackCommit;
  std::uint32_t SizeOfHeapReserve;
  std::uint32_t SizeOfHeapCommit;
  std::uint32_t LoaderFlags;
  std::uint32_t NumberOfRvaAndSizes;
  ImageDataDirectory DataDirectory[kDataDirectoryCount];
};

struct ImageNtHeaders32 {
  std::uint32_t Signature;
  ImageFileHeader FileHeader;
  ImageOptionalHeader32 OptionalHeader;
};

struct ImageSectionHeader {
  std::uint8_t Name[8];
  std::uint32_t VirtualSize;
  std::uint32_t VirtualAddress;
  std::uint32_t SizeOfRawData;
  std::uint32_t PointerToRawData;
  std::uint32_t PointerToRelocations;
  std::uint32_t PointerToLinenumbers;
  std::uint16_t NumberOfRelocations;
  std::uint16_t NumberOfLinenumbers;
  std::uint32_t Characteristics;
};

struct ImageBaseRelocation {
  std::uint32_t VirtualAddress;
  std::uint32_t SizeOfBlock;
};

struct ImageImportDescriptor {
  std::uint32_t OriginalFirstThunk;
  std::uint32_t TimeDateStamp;
  std::uint32_t ForwarderChain;
  std::uint32_t Name;
  std::uint32_t FirstThunk;
};

struct ImageExportDirectory {
  std::uint32_t Characteristics;
  std::uint32_t TimeDateStamp;
  std::uint16_t MajorVersion;
  std::uint16_t MinorVersion;
  std::uint32_t Name;
  std::uint32_t Base;
  std::uint32_t NumberOfFunctions;
  std::uint32_t NumberOfNames;
  std::uint32_t AddressOfFunctions;
  std::uint32_t AddressOfNames;
  std::uint32_t AddressOfNameOrdinals;
};

static_assert(sizeof(ImageDosHeader) == 64);
static_assert(sizeof(ImageNtHeaders32) == 248);
static_assert(sizeof(ImageSectionHeader) == 40);
static_assert(sizeof(ImageBaseRelocation) == 8);
static_assert(sizeof(ImageImportDescriptor) == 20);
static_assert(sizeof(ImageExportDirectory) == 40);

inline constexpr std::uint16_t kDosSignature = 0x5A4D;         // "MZ"
inline constexpr std::uint32_t kNtSignature = 0x00004550;      // "PE\0\0"
inline constexpr std::uint16_t kExecutableImage = 0x0002;      // IMAGE_FILE_EXECUTABLE_IMAGE
inline constexpr std::uint16_t kDllImage = 0x2000;             // IMAGE_FILE_DLL
inline constexpr std::uint16_t kOptionalHeader32Size = 0xE0;   // 64-bit images have 0xF0
inline constexpr std::uint16_t kRelocationHighLow = 3;         // IMAGE_REL_BASED_HIGHLOW
inline constexpr std::uint32_t kImportByOrdinal = 0x80000000;  // IMAGE_ORDINAL_FLAG32

// The header records of one image, as read from its raw bytes.
struct PeHeaders {
  ImageDosHeader dos{};
  ImageNtHeaders32 nt{};
  std::vector<ImageSectionHeader> sections;
};

// The system's module lookups, as the import walk needs them. Handles and addresses are 32-bit; 0 is "none".
class ImportResolver {
 public:
  virtual ~ImportResolver() = default;
  // The module named by a zero-terminated name, loaded when it is not loaded yet.
  virtual std::uint32_t Module(const char* name) = 0;
  virtual std::uint32_t ProcedureByName(std::uint32_t module, const char* name) = 0;
  virtual std::uint32_t ProcedureByOrdinal(std::uint32_t module, std::uint16_t ordinal) = 0;
};

// Checks the DOS header, the NT headers and the section table of the raw bytes and copies them into
// `headers`. The section table is cleared first; on a section whose raw data lies outside the bytes, it keeps
// the entries read so far, and those after stay zero.
bool ReadHeaders(std::span<const std::uint8_t> raw, PeHeaders& headers);

// ((value + alignment - 1) div alignment) * alignment; 0 for an alignment of 0 and for a result past 32 bits.
std::uint32_t AlignUp(std::uint32_t value, std::uint32_t alignment);

// Bytes to allocate for the mapped image; 0 when the headers give no usable size.
std::uint32_t ImageSize(const PeHeaders& headers);

// Copies the headers and the sections' raw data from `raw` into the zeroed `image`, stopping at the first
// section whose VirtualAddress is 0. False when something would be read or written outside the two spans.
bool CopyImage(const PeHeaders& headers, std::span<const std::uint8_t> raw, std::span<std::uint8_t> image);

// Adds (loadAddress - ImageBase) to every HIGHLOW site of the relocation blocks. The walk ends at a block
// whose VirtualAddress is 0, or at the end of the image; false, with the image partly fixed, for a block
// shorter than its own header or reaching past the image, or a site outside it.
bool Relocate(const PeHeaders& headers, std::span<std::uint8_t> image, std::uint32_t loadAddress);

// Replaces every import thunk of the image by the address `resolver` gives for it. False when a module or a
// procedure is not found, or a descriptor, name or thunk lies outside the image.
bool ResolveImports(const PeHeaders& headers, std::span<std::uint8_t> image, ImportResolver& resolver);

// The RVA of the export whose name is exactly `name` (up to its first zero byte), found by walking the names
// from the first one on; nothing when there is no such name or the export tables lie outside the image.
std::optional<std::uint32_t> FindExportRva(const PeHeaders& headers, std::span<const std::uint8_t> image,
                                           std::string_view name);

}  // namespace quillmere
