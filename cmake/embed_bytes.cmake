# Writes the bytes of a file into a C++ header, as the array kShippedStylesheet:
#   cmake -DINPUT=FILE -DOUTPUT=HEADER -P embed_bytes.cmake
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Twenty bytes a line (CMake's expressions have no counted repetition).
set(line "")
foreach(byte RANGE 1 20)
  string(APPEND line "0x..,")
endforeach()
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}.new "// Generated from ${INPUT} at build time; do not edit.\n"
  "inline constexpr unsigned char kShippedStylesheet[] = {\n    ${bytes}\n};\n")
# Rewritten only when the bytes changed, so that what includes it is not rebuilt for nothing.
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
