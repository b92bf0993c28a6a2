// The skin: the program's own skin library and skin file, held as byte constants, mapped at start-up into the
// one process-wide MemoryModule and applied to the main window when it has been created. Nothing is written
// to or read from disk; a library that does not load leaves the windows unskinned.
#pragma once

#include <cstdint>
#include <span>

#include "startup/skin_file.h"

namespace quillmere {

class MemoryModule;

// The skin library's image, a byte constant made at build time; the skin file is in startup/skin_file.h.
extern const std::span<const std::uint8_t> kSkinLibraryImage;

// Start-up makes the process-wide MemoryModule, empty, before it registers the exit routine; the exit routine
// destroys it, which leaves the skin library mapped and attached for the rest of the process.
void CreateProcessModule();
void DestroyProcessModule();
// The process-wide object; null before CreateProcessModule and after DestroyProcessModule.
MemoryModule* ProcessModule();

// Maps the skin library into the process-wide MemoryModule; whether that worked is not told.
void LoadSkinLibrary();

// Applies the skin file to the calling thread's windows through the library's SkinH_AttachRes, when the
// library is mapped and has that export; otherwise nothing is called.
void AttachSkin();

}  // namespace quillmere
