// Feeds arbitrary bytes to the image walk as a loader would: headers, size, copy, relocation, imports and an
// export lookup. Built only with QUILLMERE_FUZZ (clang's libFuzzer under AddressSanitizer).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "native/pe_image.h"

namespace quillmere {
namespace {

// Every module and procedure is found, at addresses made from its name, so that the walk goes all the way.
class AnsweringResolver final : public ImportResolver {
 public:
  std::uint32_t Module(const char* name) override { return Hash(name) | 1; }
  std::uint32_t ProcedureByName(std::uint32_t module, const char* name) override {
    return module ^ Hash(name);
  }
  std::uint32_t ProcedureByOrdinal(std::uint32_t module, std::uint16_t ordinal) override {
    return module + ordinal + 1;
  }

 private:
  static std::uint32_t Hash(const char* name) {
    std::uint32_t hash = 2166136261u;
    for (; *name != '\0'; ++name) hash = (hash ^ static_cast<unsigned char>(*name)) * 16777619u;
    return hash;
  }
};

// Larger images are refused here only to keep each run fast; the walk itself takes any size.
constexpr std::uint32_t kLargestImage = 16 << 20;

}  // namespace
}  // namespace quillmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillmere;
  const std::span<const std::uint8_t> raw(data, size);
  PeHeaders headers;
  if (!ReadHeaders(raw, headers)) return 0;
  const std::uint32_t imageSize = ImageSize(headers);
  if (imageSize == 0 || imageSize > kLargestImage) return 0;
  std::vector<std::uint8_t> image(imageSize);
  if (!CopyImage(headers, raw, image)) return 0;
  Relocate(headers, image, 0x00380000);
  AnsweringResolver resolver;
  ResolveImports(headers, image, resolver);
  FindExportRva(headers, image, "SkinH_AttachRes");
  return 0;
}
