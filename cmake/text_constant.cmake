# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=kName -DHEADER=dir/header.h -P text_constant.cmake
# Writes a C++ source that defines `const char NAME[]` in namespace quillmere holding the bytes of INPUT.
# The input must be ASCII: the program's narrow literals are compiled to GBK.
file(READ "${INPUT}" content)
string(REGEX MATCH "[^\t\r\n -~]" foreign "${content}")
if(foreign)
  message(FATAL_ERROR "${INPUT} holds a byte outside printable ASCII")
endif()
set(delimiter "quillmere_text")
string(FIND "${content}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw-string delimiter )${delimiter}\"")
endif()
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT}; edit that file instead.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace quillmere {\n\n"
  "extern const char ${NAME}[] = R\"${delimiter}(${content})${delimiter}\";\n\n"
  "}  // namespace quillmere\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
