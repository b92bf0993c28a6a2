#include "startup/skin_attach.h"

#include <memory>

#include "native/call_by_address.h"
#include "native/memory_module.h"

namespace quillmere {
namespace {

std::unique_ptr<MemoryModule> processModule;

}  // namespace

void CreateProcessModule() { processModule = std::make_unique<MemoryModule>(); }

void DestroyProcessModule() { processModule.reset(); }

MemoryModule* ProcessModule() { return processModule.get(); }

void LoadSkinLibrary() {
  if (processModule) processModule->Load(kSkinLibraryImage);
}

void AttachSkin() {
  if (!processModule) return;
  const std::uintptr_t attach = processModule->FindExport("SkinH_AttachRes");
  if (attach == 0) return;
  // The skin file's address and length; the library takes eight further arguments that it does not use.
  CallByAddress(attach, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(kSkinFile.data())),
                static_cast<std::uint32_t>(kSkinFile.size()));
}

}  // namespace quillmere
