# Turns a file into a constant of the program: a C++ source defining
#   namespace quillmere { extern const std::span<const std::uint8_t> NAME; }
# over the file's bytes, so that the program holds them and never reads them from disk.
#
# As a script: cmake -DINPUT=file -DOUTPUT=source.cpp -DNAME=kName -P embed_file.cmake
# In a CMake file: quillmere_embed_file(TARGET target NAME kName FILE path [DEPENDS target-or-file...])
#   adds the generated source to the target; the file is embedded anew whenever it changes.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${INPUT}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  if(size EQUAL 0)
    set(bytes "0")  # an array cannot be empty; the span still has no byte
  else()
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
  endif()
  get_filename_component(source_name "${INPUT}" NAME)
  file(WRITE "${OUTPUT}.new"
    "// Generated from ${source_name} at build time; do not edit.\n"
    "#include <cstdint>\n#include <span>\n\nnamespace quillmere {\nnamespace {\n"
    "alignas(16) const std::uint8_t kBytes[] = {\n  ${bytes}\n};\n}  // namespace\n\n"
    "extern const std::span<const std::uint8_t> ${NAME};\n"
    "const std::span<const std::uint8_t> ${NAME}(kBytes, ${size});\n\n}  // namespace quillmere\n")
  file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUTPUT}.new")
  return()
endif()

set(QUILLMERE_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(quillmere_embed_file)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "TARGET;NAME;FILE" "DEPENDS")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${arg_NAME}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DINPUT=${arg_FILE}" "-DOUTPUT=${output}" "-DNAME=${arg_NAME}"
            -P "${QUILLMERE_EMBED_SCRIPT}"
    DEPENDS "${QUILLMERE_EMBED_SCRIPT}" ${arg_DEPENDS}
    COMMENT "Embedding ${arg_NAME}"
    VERBATIM)
  target_sources(${arg_TARGET} PRIVATE "${output}")
endfunction()
