#pragma once

#include <cstdint>
#include <optional>

class CFile;

namespace lumenreel {

// Where the program's own image ends in its file: the end of a 64-bit ELF file's section header
// table, which the linker writes last. Nothing for a file that is not such a program.
std::optional<std::uint64_t> programImageEnd(CFile& file);

}  // namespace lumenreel
