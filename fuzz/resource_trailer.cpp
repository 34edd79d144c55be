// The resources appended to a player program: whatever the end of the file holds, reading it
// must end in a clear answer with memory bounded by the file's own size.
#include <cstddef>
#include <cstdint>
#include <span>

#include "app/ResourceTrailer.h"
#include "base/MemFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CKWXOleStreamFile file(std::span<const std::uint8_t>(data, size));
    const lumenreel::TrailerContents contents = lumenreel::readResourceTrailer(file);
    std::size_t total = 0;
    for (const auto& [id, bytes] : contents.resources)
        total += bytes.size();
    if (total > size || contents.programSize > size)
        __builtin_trap();
    return 0;
}
