# Writes a C++ source that holds the bytes of INPUT as the skin package compiled into the programs.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Made by the build from the packed default skin.\n"
"#include \"player/SkinEmbedded.h\"\n\n"
"namespace {\nconst std::uint8_t kPackage[${size}] = {\n${bytes}};\n}  // namespace\n\n"
"namespace lumenreel {\n"
"std::span<const std::uint8_t> embeddedSkinPackage() { return kPackage; }\n"
"}  // namespace lumenreel\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
