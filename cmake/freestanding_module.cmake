# quillmere_freestanding_module(NAME SOURCES... ENTRY symbol [EXECUTABLE] [IMAGE_BASE address] [LIBS...])
# A 32-bit DLL (or, with EXECUTABLE, an .exe) without the C runtime: its own entry point, imports only from
# the libraries named (system DLLs), base relocations kept so that it can be mapped anywhere, and no
# thread-local storage. ENTRY is the entry point's symbol as the linker sees it (stdcall: _Name@12).
function(quillmere_freestanding_module name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "EXECUTABLE" "ENTRY;IMAGE_BASE" "SOURCES;LIBS")
  if(arg_EXECUTABLE)
    add_executable(${name} ${arg_SOURCES})
  else()
    add_library(${name} SHARED ${arg_SOURCES})
    set_target_properties(${name} PROPERTIES PREFIX "")
  endif()
  target_compile_options(${name} PRIVATE -ffreestanding -fno-exceptions -fno-rtti -fno-stack-protector
                                         -fno-asynchronous-unwind-tables -fno-threadsafe-statics
                                         -fno-tree-loop-distribute-patterns)
  target_link_options(${name} PRIVATE -nostdlib -nostartfiles "-Wl,--entry,${arg_ENTRY}" -Wl,--dynamicbase
                                      -Wl,--enable-reloc-section -s)
  if(arg_IMAGE_BASE)
    target_link_options(${name} PRIVATE "-Wl,--image-base,${arg_IMAGE_BASE}")
  endif()
  target_link_libraries(${name} PRIVATE ${arg_LIBS} quillmere_options quillmere_warnings)
endfunction()
