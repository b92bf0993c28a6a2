#include "native/memory_module.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "native/call_by_address.h"
#include "native/test_image.h"

namespace quillmere {

// The fixture modules of this folder, embedded at build time.
extern const std::span<const std::uint8_t> kFixturePreferred;
extern const std::span<const std::uint8_t> kFixtureTakenBase;
extern const std::span<const std::uint8_t> kFixtureRefusing;
extern const std::span<const std::uint8_t> kFixtureNotDll;
extern const std::span<const std::uint8_t> kFixtureOrdinalImport;

namespace {

constexpr std::uintptr_t kPreferredBase = 0x32100000;
constexpr int kTargetValue = 0x5EED;

// The fixtures' entry points log each call: its reason, then '+' when they were given their own base.
std::string EntryCalls() {
  char calls[64];
  const DWORD length = GetEnvironmentVariableA("QUILLMERE_ENTRY_CALLS", calls, sizeof(calls));
  return std::string(calls, length < sizeof(calls) ? length : 0);
}

class MemoryModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableA("QUILLMERE_ENTRY_CALLS", nullptr); }
  void TearDown() override { module.Unload(); }

  // The relocation sites of the fixture hold and use the address of `target` wherever the image landed.
  void ExpectRelocated() {
    const std::uintptr_t target = module.FindExport("target");
    const std::uintptr_t pointer = module.FindExport("relocatedPointer");
    const std::uintptr_t read = module.FindExport("ReadTarget");
    ASSERT_NE(target, 0u);
    ASSERT_NE(pointer, 0u);
    ASSERT_NE(read, 0u);
    EXPECT_EQ(*reinterpret_cast<const std::uintptr_t*>(pointer), target);
    EXPECT_EQ(CallByAddress(read), static_cast<std::uint32_t>(kTargetValue));
    *reinterpret_cast<int*>(target) = 1234;
    EXPECT_EQ(CallByAddress(read), 1234u);
  }

  MemoryModule module;
};

// No allocation starts at the address any more. Windows shows released memory as free; Wine shows memory
// released inside an area it keeps reserved for itself (one reservation from 0x20000000 on, here) as part of
// that reservation again (MEM_RESERVE, allocation base 0x20000000).
bool IsReleased(std::uintptr_t address) {
  MEMORY_BASIC_INFORMATION information{};
  VirtualQuery(reinterpret_cast<void*>(address), &information, sizeof(information));
  return information.State == MEM_FREE || information.AllocationBase != reinterpret_cast<void*>(address);
}

TEST_F(MemoryModuleTest, LoadsAtThePreferredBaseAttachesAndDetaches) {
  EXPECT_EQ(module.FindExport("ReadTarget"), 0u);
  EXPECT_EQ(module.EntryPoint(), 0u);
  ASSERT_TRUE(module.Load(kFixturePreferred));
  EXPECT_EQ(module.ModuleHandle(), kPreferredBase);
  EXPECT_EQ(EntryCalls(), "1+");
  ExpectRelocated();
  EXPECT_EQ(module.FindExport("readtarget"), 0u);
  EXPECT_EQ(module.FindExport("ReadTarge"), 0u);

  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(kFixturePreferred, headers));
  EXPECT_EQ(module.EntryPoint(), kPreferredBase + headers.nt.OptionalHeader.AddressOfEntryPoint);

  module.Unload();
  EXPECT_EQ(EntryCalls(), "1+0+");
  EXPECT_EQ(module.ModuleHandle(), 0u);
  EXPECT_EQ(module.EntryPoint(), 0u);
  EXPECT_EQ(module.FindExport("ReadTarget"), 0u);
  EXPECT_TRUE(IsReleased(kPreferredBase));
}

TEST_F(MemoryModuleTest, RelocatesAnImageWhosePreferredBaseIsTaken) {
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(kFixtureTakenBase, headers));
  // The fixture asks for the base of this very program.
  ASSERT_EQ(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr)), headers.nt.OptionalHeader.ImageBase);
  ASSERT_TRUE(module.Load(kFixtureTakenBase));
  EXPECT_NE(module.ModuleHandle(), headers.nt.OptionalHeader.ImageBase);
  EXPECT_EQ(EntryCalls(), "1+");
  ExpectRelocated();
}

TEST_F(MemoryModuleTest, EntryPointThatRefusesIsCalledToDetachAndTheImageReleased) {
  EXPECT_FALSE(module.Load(kFixtureRefusing));
  EXPECT_EQ(EntryCalls(), "1+0+");
  EXPECT_EQ(module.ModuleHandle(), 0u);
  EXPECT_EQ(module.FindExport("ReadTarget"), 0u);
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(kFixtureRefusing, headers));
  EXPECT_TRUE(IsReleased(headers.nt.OptionalHeader.ImageBase));
  EXPECT_TRUE(module.Load(kFixturePreferred));  // the object is empty again
}

TEST_F(MemoryModuleTest, ImageWithoutTheDllFlagIsNeverEntered) {
  ASSERT_TRUE(module.Load(kFixtureNotDll));
  ExpectRelocated();
  module.Unload();
  EXPECT_EQ(EntryCalls(), "");
}

TEST_F(MemoryModuleTest, BindsImportsByOrdinal) {
  ASSERT_TRUE(module.Load(kFixtureOrdinalImport));
  EXPECT_NE(GetModuleHandleA("quillmere_ordinal_export.dll"), nullptr);
  EXPECT_EQ(CallByAddress(module.FindExport("AskAnswer")), 43u);
}

TEST_F(MemoryModuleTest, RefusesASecondImageWhileOneIsLoaded) {
  ASSERT_TRUE(module.Load(kFixturePreferred));
  const std::uintptr_t read = module.FindExport("ReadTarget");
  EXPECT_FALSE(module.Load(kFixtureNotDll));
  EXPECT_FALSE(module.Load(kFixturePreferred));
  EXPECT_EQ(module.ModuleHandle(), kPreferredBase);
  EXPECT_EQ(module.FindExport("ReadTarget"), read);
  EXPECT_EQ(EntryCalls(), "1+");
  ExpectRelocated();
}

TEST_F(MemoryModuleTest, LoadsAgainAfterUnload) {
  ASSERT_TRUE(module.Load(kFixturePreferred));
  module.Unload();
  ASSERT_TRUE(module.Load(kFixturePreferred));
  EXPECT_EQ(module.ModuleHandle(), kPreferredBase);
  EXPECT_EQ(EntryCalls(), "1+0+1+");
  ExpectRelocated();
}

TEST_F(MemoryModuleTest, CopySharesTheImage) {
  ASSERT_TRUE(module.Load(kFixturePreferred));
  const std::unique_ptr<MemoryModule> copy = module.Copy();
  EXPECT_EQ(copy->ModuleHandle(), module.ModuleHandle());
  EXPECT_EQ(copy->FindExport("ReadTarget"), module.FindExport("ReadTarget"));
  EXPECT_EQ(copy->EntryPoint(), module.EntryPoint());
}

TEST(MemoryModule, DestructorLeavesTheImageMappedAndAttached) {
  SetEnvironmentVariableA("QUILLMERE_ENTRY_CALLS", nullptr);
  std::uintptr_t read = 0;
  {
    MemoryModule module;
    ASSERT_TRUE(module.Load(kFixturePreferred));
    read = module.FindExport("ReadTarget");
  }
  EXPECT_EQ(EntryCalls(), "1+");
  EXPECT_EQ(CallByAddress(read), static_cast<std::uint32_t>(kTargetValue));
  VirtualFree(reinterpret_cast<void*>(kPreferredBase), 0, MEM_RELEASE);
}

// The file offset of an RVA, through the section that holds it.
std::size_t RawOffset(const PeHeaders& headers, std::uint32_t rva) {
  for (const ImageSectionHeader& section : headers.sections) {
    if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData) {
      return rva - section.VirtualAddress + section.PointerToRawData;
    }
  }
  return 0;
}

TEST_F(MemoryModuleTest, RefusesMalformedImagesWithoutEnteringThem) {
  using testing::Bytes;
  using testing::Put16;
  using testing::Put32;
  const Bytes good(kFixturePreferred.begin(), kFixturePreferred.end());
  PeHeaders headers;
  ASSERT_TRUE(ReadHeaders(good, headers));
  const std::size_t optional = headers.dos.e_lfanew + 24;
  const auto& directories = headers.nt.OptionalHeader.DataDirectory;
  const std::size_t relocations = RawOffset(headers, directories[kBaseRelocationDirectory].VirtualAddress);
  const std::size_t imports = RawOffset(headers, directories[kImportDirectory].VirtualAddress);
  ASSERT_NE(relocations, 0u);
  ASSERT_NE(imports, 0u);
  struct Case {
    const char* what;
    std::function<void(Bytes&)> breakIt;
  };
  const Case cases[] = {
      {"cut short", [](Bytes& b) { b.resize(b.size() / 2); }},
      {"64-bit optional header", [&](Bytes& b) { Put16(b, headers.dos.e_lfanew + 20, 240); }},
      {"entry point 0", [&](Bytes& b) { Put32(b, optional + 16, 0); }},
      {"entry point outside the image", [&](Bytes& b) { Put32(b, optional + 16, 0x7FFF0000); }},
      {"headers past the raw bytes", [&](Bytes& b) { Put32(b, optional + 60, 0x7FFF0000); }},
      {"section alignment 0", [&](Bytes& b) { Put32(b, optional + 32, 0); }},
      {"relocation block of 4 bytes", [&](Bytes& b) { Put32(b, relocations + 4, 4); }},
      {"import module not found",
       [&](Bytes& b) { Put32(b, imports + 12, directories[kImportDirectory].VirtualAddress + 20 * 8); }},
  };
  for (const Case& c : cases) {
    Bytes bytes = good;
    c.breakIt(bytes);
    EXPECT_FALSE(module.Load(bytes)) << c.what;
    EXPECT_EQ(module.ModuleHandle(), 0u) << c.what;
    EXPECT_EQ(module.FindExport("ReadTarget"), 0u) << c.what;
    EXPECT_TRUE(IsReleased(kPreferredBase)) << c.what;
  }
  EXPECT_EQ(EntryCalls(), "");
}

}  // namespace
}  // namespace quillmere
