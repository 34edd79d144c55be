// Decompresses arbitrary bytes with a small output limit.
#include <cstddef>
#include <cstdint>

#include "storage/GzipCompression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kLimit = 64 * 1024 * 1024;
    GzipMemReader reader(data, size, kLimit);
    if (reader.GetSize() > kLimit || reader.GetBuffer()[reader.GetSize()] != 0)
        __builtin_trap();
    if (reader.IsTransparent() && reader.GetSize() != size)
        __builtin_trap();
    return 0;
}
