# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DFUNCTION=<name> -P embed_binary.cmake
# Writes a C++ source whose fw::<FUNCTION>() returns the bytes of INPUT.  Runs at build time so
# the headless build needs no tool beyond CMake to carry the compiled resources.
foreach(var INPUT OUTPUT FUNCTION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_binary.cmake: ${var} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_binary.cmake: ${INPUT} is empty")
endif()
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")

file(WRITE "${OUTPUT}"
"// Generated from ${INPUT}; do not edit.
#include \"framework/resfile/embedded.h\"

namespace fw {
namespace {
alignas(4) const unsigned char kBytes[${byte_count}] = {
    ${bytes}
};
}  // namespace

ResourceBlob ${FUNCTION}() { return ResourceBlob{kBytes, sizeof kBytes}; }

}  // namespace fw
")
