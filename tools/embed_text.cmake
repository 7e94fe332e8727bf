# Turns a text file into a C++ source defining
#   extern const std::string_view lumeshade::tools::<SYMBOL>;
# The bytes are written as hexadecimal so that no content can break the
# literal. Run as: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P embed_text.cmake
file(READ ${INPUT} bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR length "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," body "${bytes}")
# Forty bytes a line keeps the generated file readable.
string(REGEX REPLACE "((('\\\\x[0-9a-f][0-9a-f]',)){40})" "\\1\n    " body "${body}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <string_view>\n\n"
  "namespace lumeshade::tools {\n"
  "namespace {\n"
  "constexpr char kBytes[] = {\n    ${body}'\\0'};\n"
  "}  // namespace\n"
  "extern const std::string_view ${SYMBOL}{kBytes, ${length}};\n"
  "}  // namespace lumeshade::tools\n")
