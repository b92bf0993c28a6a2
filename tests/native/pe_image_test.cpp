#include "native/pe_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "native/test_image.h"

namespace quillmere {
namespace {

using testing::Bytes;
using testing::Get32;
using testing::Map;
using testing::Put16;
using testing::Put32;
using testing::PutName;
using testing::TestImage;

TEST(AlignUp, RoundsUpToWholeMultiples) {
  struct Case {
    std::uint32_t value, alignment, want;
  };
  const Case cases[] = {
      {0x400, 0x1000, 0x1000},
      {0x1000, 0x1000, 0x1000},
      {0x1001, 0x1000, 0x2000},
      {0, 0x1000, 0},
      {0x1234, 0, 0},
      {0, 0, 0},
      {0xFFFFFFFF, 1, 0xFFFFFFFF},
      {0xFFFFF000, 0x1000, 0xFFFFF000},
      {0xFFFFF001, 0x1000, 0},  // past 32 bits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AlignUp(c.value, c.alignment), c.want) << std::hex << c.value << " " << c.alignment;
  }
}

TEST(ImageSize, CoversTheHeadersAndTheLargerOfVirtualAndRawSizeOfEverySection) {
  PeHeaders headers;
  headers.nt.OptionalHeader.SizeOfHeaders = 0x400;
  headers.nt.OptionalHeader.SectionAlignment = 0x1000;
  headers.sections.resize(2);
  headers.sections[0].VirtualAddress = 0x1000;
  headers.sections[0].VirtualSize = 0x23456;
  headers.sections[1].VirtualAddress = 0x25000;
  headers.sections[1].VirtualSize = 0x800;
  headers.sections[1].SizeOfRawData = 0xA00;
  EXPECT_EQ(ImageSize(headers), 0x26000u);

  headers.sections.clear();
  EXPECT_EQ(ImageSize(headers), 0x1000u);

  headers.nt.OptionalHeader.SectionAlignment = 0;
  EXPECT_EQ(ImageSize(headers), 0u);
}

TEST(ImageSize, IsZeroWhenASectionEndsPast32Bits) {
  PeHeaders headers;
  headers.nt.OptionalHeader.SizeOfHeaders = 0x400;
  headers.nt.OptionalHeader.SectionAlignment = 0x1000;
  headers.sections.resize(1);
  headers.sections[0].VirtualAddress = 0xFFFFF000;
  headers.sections[0].VirtualSize = 0x2000;
  EXPECT_EQ(ImageSize(headers), 0u);
}

TEST(ReadHeaders, AcceptsAWellFormedImageAndCopiesItsRecords) {
  TestImage builder;
  builder.AddSection(0x1000, Bytes(0x300, 1)).AddSection(0x2000, Bytes(0x10, 2));
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(builder.Build(), headers));
  EXPECT_EQ(headers.dos.e_lfanew, TestImage::kNtOffset);
  EXPECT_EQ(headers.nt.OptionalHeader.ImageBase, TestImage::kImageBase);
  ASSERT_EQ(headers.sections.size(), 2u);
  EXPECT_EQ(headers.sections[1].VirtualAddress, 0x2000u);
  EXPECT_EQ(headers.sections[1].PointerToRawData, 0x600u);
}

TEST(ReadHeaders, RefusesEachBrokenHeader) {
  const Bytes good = TestImage().AddSection(0x1000, Bytes(0x10, 1)).Build();
  constexpr std::size_t nt = TestImage::kNtOffset;
  constexpr std::size_t characteristics = nt + 4 + 18;
  constexpr std::size_t optionalSize = nt + 4 + 16;
  constexpr std::size_t sizeOfHeaders = nt + 24 + 60;
  struct Case {
    const char* what;
    std::function<void(Bytes&)> breakIt;
  };
  const Case cases[] = {
      {"shorter than a DOS header", [](Bytes& b) { b.resize(63); }},
      {"no MZ", [](Bytes& b) { b[1] = 'X'; }},
      {"NT headers past the end", [](Bytes& b) { Put32(b, 60, static_cast<std::uint32_t>(b.size()) - 247); }},
      {"NT header offset that wraps", [](Bytes& b) { Put32(b, 60, 0xFFFFFFF0); }},
      {"no PE signature", [](Bytes& b) { b[nt + 1] = 'X'; }},
      {"not an executable image", [](Bytes& b) { Put16(b, characteristics, kDllImage); }},
      {"64-bit optional header", [](Bytes& b) { Put16(b, optionalSize, 240); }},
      {"headers past the raw bytes",
       [](Bytes& b) { Put32(b, sizeOfHeaders, static_cast<std::uint32_t>(b.size()) + 1); }},
      {"section raw data past the end", [](Bytes& b) { b.resize(b.size() - 1); }},
      {"section table past the end", [](Bytes& b) { Put16(b, nt + 6, 0xFFFF); }},
  };
  for (const Case& c : cases) {
    Bytes bytes = good;
    c.breakIt(bytes);
    PeHeaders headers;
    EXPECT_FALSE(ReadHeaders(bytes, headers)) << c.what;
  }
}

TEST(ReadHeaders, KeepsTheSectionsReadBeforeTheOneWhoseRawDataIsOutside) {
  TestImage builder;
  builder.AddSection(0x1000, Bytes(0x10, 1))
      .AddSection(0x2000, Bytes(0x10, 2))
      .AddSection(0x3000, Bytes(0x10, 3));
  builder.Section(1).SizeOfRawData = 0x100000;
  PeHeaders headers;
  EXPECT_FALSE(ReadHeaders(builder.Build(), headers));
  ASSERT_EQ(headers.sections.size(), 3u);
  EXPECT_EQ(headers.sections[0].VirtualAddress, 0x1000u);
  EXPECT_EQ(headers.sections[1].VirtualAddress, 0x2000u);
  EXPECT_EQ(headers.sections[2].VirtualAddress, 0u);
}

TEST(CopyImage, CopiesHeadersAndSectionsUpToTheFirstAtAddressZero) {
  TestImage builder;
  builder.AddSection(0x1000, Bytes(0x10, 0xA1))
      .AddSection(0, Bytes(0x10, 0xB2))
      .AddSection(0x3000, Bytes(0x10, 0xC3));
  const Bytes raw = builder.Build();
  const auto mapped = Map(raw);
  ASSERT_TRUE(mapped.ok);
  ASSERT_EQ(mapped.image.size(), 0x4000u);
  EXPECT_TRUE(std::equal(raw.begin(), raw.begin() + TestImage::kHeaderSize, mapped.image.begin()));
  EXPECT_EQ(mapped.image[0x1000], 0xA1);
  EXPECT_EQ(mapped.image[0x1000 + 0x1FF], 0);  // the raw size is file-aligned, the data was not
  EXPECT_EQ(mapped.image[0x3000], 0);
}

TEST(CopyImage, RefusesAnImageSmallerThanItsSections) {
  const Bytes raw = TestImage().AddSection(0x1000, Bytes(0x10, 1)).Build();
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(raw, headers));
  Bytes image(0x1100);
  EXPECT_FALSE(CopyImage(headers, raw, image));
}

// A section of values at 0x1000 and, at 0x2000, two relocation blocks: the first with HIGHLOW sites at 0x1000
// and 0x1004, a 64-bit entry at 0x1008 and a padding entry; the second with a HIGHLOW site at 0x100C.
Bytes RelocatedImage() {
  Bytes values;
  for (std::uint32_t i = 0; i < 5; ++i) Put32(values, 4 * i, TestImage::kImageBase + 0x1010 + i);
  Bytes blocks;
  Put32(blocks, 0, 0x1000);
  Put32(blocks, 4, 16);
  Put16(blocks, 8, 0x3000);
  Put16(blocks, 10, 0x3004);
  Put16(blocks, 12, 0xA008);
  Put16(blocks, 14, 0x0000);
  Put32(blocks, 16, 0x1000);
  Put32(blocks, 20, 10);
  Put16(blocks, 24, 0x300C);
  TestImage builder;
  builder.AddSection(0x1000, values).AddSection(0x2000, blocks, 0x100);
  builder.SetDirectory(kBaseRelocationDirectory, 0x2000, 26);
  return builder.Build();
}

TEST(Relocate, AddsTheDifferenceToEveryHighLowSiteAndPassesOverOtherEntries) {
  auto mapped = Map(RelocatedImage());
  ASSERT_TRUE(mapped.ok);
  const std::uint32_t loadAddress = TestImage::kImageBase + 0x01230000;
  ASSERT_TRUE(Relocate(mapped.headers, mapped.image, loadAddress));
  const std::uint8_t* values = mapped.image.data() + 0x1000;
  EXPECT_EQ(Get32(values, 0), loadAddress + 0x1010);
  EXPECT_EQ(Get32(values, 4), loadAddress + 0x1011);
  EXPECT_EQ(Get32(values, 8), TestImage::kImageBase + 0x1012);
  EXPECT_EQ(Get32(values, 12), loadAddress + 0x1013);
  EXPECT_EQ(Get32(values, 16), TestImage::kImageBase + 0x1014);
}

TEST(Relocate, WrapsAroundWhenLoadedBelowThePreferredBase) {
  auto mapped = Map(RelocatedImage());
  ASSERT_TRUE(mapped.ok);
  ASSERT_TRUE(Relocate(mapped.headers, mapped.image, 0x00400000));
  EXPECT_EQ(Get32(mapped.image.data(), 0x1000), 0x00401010u);
}

TEST(Relocate, LeavesTheSitesAsTheyAreAtThePreferredBase) {
  auto mapped = Map(RelocatedImage());
  ASSERT_TRUE(mapped.ok);
  const Bytes before = mapped.image;
  ASSERT_TRUE(Relocate(mapped.headers, mapped.image, TestImage::kImageBase));
  EXPECT_EQ(mapped.image, before);
}

TEST(Relocate, RefusesBlocksThatWouldLeaveTheImage) {
  struct Case {
    const char* what;
    std::uint32_t directory, blockAddress, blockSize;
    std::uint16_t entry;
  };
  const Case cases[] = {
      {"block of 0 bytes", 0x2000, 0x1000, 0, 0x3000},
      {"block shorter than its header", 0x2000, 0x1000, 6, 0x3000},
      {"block past the image", 0x2000, 0x1000, 0x1002, 0x3000},
      {"site past the image", 0x2000, 0x2FFE, 10, 0x3000},
      {"site whose address wraps", 0x2000, 0xFFFFFFFF, 10, 0x3FFF},
      {"directory outside the image", 0x7FFFFFF0, 0x1000, 10, 0x3000},
  };
  for (const Case& c : cases) {
    Bytes block;
    Put32(block, 0, c.blockAddress);
    Put32(block, 4, c.blockSize);
    Put16(block, 8, c.entry);
    TestImage builder;
    builder.AddSection(0x1000, Bytes(0x10, 0)).AddSection(0x2000, block, 0x1000);
    builder.SetDirectory(kBaseRelocationDirectory, c.directory, 10);
    auto mapped = Map(builder.Build());
    ASSERT_TRUE(mapped.ok) << c.what;
    EXPECT_FALSE(Relocate(mapped.headers, mapped.image, 0x20000000)) << c.what;
  }
}

TEST(Relocate, EndsAtTheEndOfTheImageWithoutATerminatingBlock) {
  Bytes block;
  Put32(block, 0, 0x1000);
  Put32(block, 4, 0x1000);
  Put16(block, 8, 0x3000);
  TestImage builder;
  builder.AddSection(0x1000, Bytes(0x10, 0)).AddSection(0x2000, block, 0x1000);
  builder.SetDirectory(kBaseRelocationDirectory, 0x2000, 0x1000);
  auto mapped = Map(builder.Build());
  ASSERT_TRUE(mapped.ok);
  EXPECT_TRUE(Relocate(mapped.headers, mapped.image, TestImage::kImageBase + 0x10000));
  EXPECT_EQ(Get32(mapped.image.data(), 0x1000), 0x10000u);
}

// Records every lookup and answers from its tables; what is not in them is not found.
class FakeResolver final : public ImportResolver {
 public:
  std::map<std::string, std::uint32_t> modules{{"kernel32.dll", 0x7000}, {"user32.dll", 0x8000}};
  std::map<std::string, std::uint32_t> procedures{
      {"7000:Sleep", 0x7001}, {"7000:#7", 0x7007}, {"8000:MessageBoxA", 0x8001}};
  std::vector<std::string> calls;

  std::uint32_t Module(const char* name) override {
    calls.push_back(std::string("module ") + name);
    const auto found = modules.find(name);
    return found == modules.end() ? 0 : found->second;
  }
  std::uint32_t ProcedureByName(std::uint32_t module, const char* name) override {
    return Procedure(std::to_string(module / 0x1000 * 1000) + ":" + name);
  }
  std::uint32_t ProcedureByOrdinal(std::uint32_t module, std::uint16_t ordinal) override {
    return Procedure(std::to_string(module / 0x1000 * 1000) + ":#" + std::to_string(ordinal));
  }

 private:
  std::uint32_t Procedure(const std::string& key) {
    calls.push_back(key);
    const auto found = procedures.find(key);
    return found == procedures.end() ? 0 : found->second;
  }
};

// At 0x1000: two descriptors and the terminator; names and thunks behind them.
//   kernel32.dll: thunks at 0x1100 for "Sleep" (by name, hint 0x1234) and ordinal 7
//   user32.dll:   thunks at 0x1120 for "MessageBoxA"
Bytes ImportingSection() {
  Bytes s(0x200, 0);
  Put32(s, 0x00 + 12, 0x1080);
  Put32(s, 0x00 + 16, 0x1100);
  Put32(s, 0x14 + 12, 0x1090);
  Put32(s, 0x14 + 16, 0x1120);
  PutName(s, 0x80, "kernel32.dll");
  PutName(s, 0x90, "user32.dll");
  Put32(s, 0x100, 0x1140);
  Put32(s, 0x104, 0x80000007);
  Put32(s, 0x120, 0x1150);
  Put16(s, 0x140, 0x1234);
  PutName(s, 0x142, "Sleep");
  PutName(s, 0x152, "MessageBoxA");
  return s;
}

testing::MappedImage MapImporting(const Bytes& section) {
  TestImage builder;
  builder.AddSection(0x1000, section).SetDirectory(kImportDirectory, 0x1000, 0x3C);
  return Map(builder.Build());
}

TEST(ResolveImports, ReplacesEachThunkByTheAddressOfWhatItNames) {
  auto mapped = MapImporting(ImportingSection());
  ASSERT_TRUE(mapped.ok);
  FakeResolver resolver;
  ASSERT_TRUE(ResolveImports(mapped.headers, mapped.image, resolver));
  EXPECT_EQ(resolver.calls, (std::vector<std::string>{"module kernel32.dll", "7000:Sleep", "7000:#7",
                                                      "module user32.dll", "8000:MessageBoxA"}));
  EXPECT_EQ(Get32(mapped.image.data(), 0x1100), 0x7001u);
  EXPECT_EQ(Get32(mapped.image.data(), 0x1104), 0x7007u);
  EXPECT_EQ(Get32(mapped.image.data(), 0x1108), 0u);
  EXPECT_EQ(Get32(mapped.image.data(), 0x1120), 0x8001u);
}

TEST(ResolveImports, AnImageWithoutImportsNeedsNothing) {
  auto mapped = Map(TestImage().AddSection(0x1000, Bytes(0x10, 0)).Build());
  ASSERT_TRUE(mapped.ok);
  FakeResolver resolver;
  EXPECT_TRUE(ResolveImports(mapped.headers, mapped.image, resolver));
  EXPECT_TRUE(resolver.calls.empty());
}

TEST(ResolveImports, FailsOnAModuleOrProcedureThatIsNotFound) {
  {
    auto mapped = MapImporting(ImportingSection());
    FakeResolver resolver;
    resolver.modules.erase("user32.dll");
    EXPECT_FALSE(ResolveImports(mapped.headers, mapped.image, resolver));
    EXPECT_EQ(resolver.calls.back(), "module user32.dll");
  }
  {
    auto mapped = MapImporting(ImportingSection());
    FakeResolver resolver;
    resolver.procedures.erase("7000:#7");
    EXPECT_FALSE(ResolveImports(mapped.headers, mapped.image, resolver));
    EXPECT_EQ(resolver.calls.back(), "7000:#7");
  }
}

TEST(ResolveImports, RefusesNamesAndThunksOutsideTheImage) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> breakIt;
  };
  const Case cases[] = {
      {"module name past the image", [](Bytes& s) { Put32(s, 12, 0x7FFFFFFF); }},
      {"module name without its zero",
       [](Bytes& s) {
         Put32(s, 12, 0x1FFF);
         s.resize(0x1000);
         s.back() = 'x';
       }},
      {"thunks past the image", [](Bytes& s) { Put32(s, 16, 0x1FFE); }},
      {"imported name past the image", [](Bytes& s) { Put32(s, 0x100, 0x7FFFFFF0); }},
      {"imported name behind a hint at the end", [](Bytes& s) { Put32(s, 0x100, 0x1FFF); }},
  };
  for (const Case& c : cases) {
    Bytes section = ImportingSection();
    c.breakIt(section);
    auto mapped = MapImporting(section);
    ASSERT_TRUE(mapped.ok) << c.what;
    FakeResolver resolver;
    EXPECT_FALSE(ResolveImports(mapped.headers, mapped.image, resolver)) << c.what;
  }
}

TEST(ResolveImports, RefusesAnImportTableOutsideTheImage) {
  TestImage builder;
  builder.AddSection(0x1000, Bytes(0x10, 0)).SetDirectory(kImportDirectory, 0x1FF0, 0x14);
  auto mapped = Map(builder.Build());
  ASSERT_TRUE(mapped.ok);
  FakeResolver resolver;
  EXPECT_FALSE(ResolveImports(mapped.headers, mapped.image, resolver));
}

// At 0x1000 an export directory of three functions, two of them named ("Alpha" for function 2 and
// "SkinH_AttachRes" for function 0); tables at 0x1040, names from 0x1080.
Bytes ExportingSection() {
  Bytes s(0x100, 0);
  Put32(s, 20, 3);       // NumberOfFunctions
  Put32(s, 24, 2);       // NumberOfNames
  Put32(s, 28, 0x1040);  // AddressOfFunctions
  Put32(s, 32, 0x1050);  // AddressOfNames
  Put32(s, 36, 0x1060);  // AddressOfNameOrdinals
  Put32(s, 0x40, 0x1200);
  Put32(s, 0x44, 0x1300);
  Put32(s, 0x48, 0x1400);
  Put32(s, 0x50, 0x1080);
  Put32(s, 0x54, 0x1086);
  Put16(s, 0x60, 2);
  Put16(s, 0x62, 0);
  PutName(s, 0x80, "Alpha");
  PutName(s, 0x86, "SkinH_AttachRes");
  return s;
}

testing::MappedImage MapExporting(const Bytes& section) {
  TestImage builder;
  builder.AddSection(0x1000, section, 0x1000).SetDirectory(kExportDirectory, 0x1000, 0x100);
  return Map(builder.Build());
}

TEST(FindExportRva, FindsNamesExactlyAndCaseSensitively) {
  const auto mapped = MapExporting(ExportingSection());
  ASSERT_TRUE(mapped.ok);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "Alpha"), 0x1400u);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "SkinH_AttachRes"), 0x1200u);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, std::string_view("Alpha\0x", 7)), 0x1400u);
  for (const char* absent : {"alpha", "skinh_attachres", "Alph", "AlphaB", "", "Beta"}) {
    EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, absent), std::nullopt) << absent;
  }
}

TEST(FindExportRva, FindsNothingWithoutAnExportDirectory) {
  TestImage builder;
  builder.AddSection(0x1000, ExportingSection(), 0x1000).SetDirectory(kExportDirectory, 0x1000, 0);
  const auto mapped = Map(builder.Build());
  ASSERT_TRUE(mapped.ok);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "Alpha"), std::nullopt);
}

TEST(FindExportRva, RefusesTablesAndNamesOutsideTheImage) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> breakIt;
  };
  const Case cases[] = {
      {"name ordinal past the function table", [](Bytes& s) { Put16(s, 0x60, 3); }},
      {"NumberOfFunctions past the image", [](Bytes& s) { Put32(s, 20, 0x40000000); }},
      {"NumberOfNames past the image", [](Bytes& s) { Put32(s, 24, 0x40000000); }},
      {"function table past the image", [](Bytes& s) { Put32(s, 28, 0x1FFC); }},
      {"name table past the image", [](Bytes& s) { Put32(s, 32, 0xFFFFFFFC); }},
      {"ordinal table past the image", [](Bytes& s) { Put32(s, 36, 0x1FFF); }},
      {"first name past the image", [](Bytes& s) { Put32(s, 0x50, 0x2000); }},
      {"function outside the image", [](Bytes& s) { Put32(s, 0x48, 0x2000); }},
  };
  for (const Case& c : cases) {
    Bytes section = ExportingSection();
    c.breakIt(section);
    const auto mapped = MapExporting(section);
    ASSERT_TRUE(mapped.ok) << c.what;
    EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "Alpha"), std::nullopt) << c.what;
  }
}

TEST(FindExportRva, RefusesNamesThatRunOffTheImage) {
  Bytes section = ExportingSection();
  Put32(section, 0x50, 0x1FFA);
  section.resize(0x1000);
  for (std::size_t i = 0xFFA; i < 0x1000; ++i) section[i] = 'A';
  const auto mapped = MapExporting(section);
  ASSERT_TRUE(mapped.ok);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "AAAAAA"), std::nullopt);
}

TEST(FindExportRva, RefusesAnExportDirectoryOutsideTheImage) {
  TestImage builder;
  builder.AddSection(0x1000, ExportingSection(), 0x1000).SetDirectory(kExportDirectory, 0x1FE0, 0x28);
  const auto mapped = Map(builder.Build());
  ASSERT_TRUE(mapped.ok);
  EXPECT_EQ(FindExportRva(mapped.headers, mapped.image, "Alpha"), std::nullopt);
}

}  // namespace
}  // namespace quillmere
