// The panel layout file in both of its forms; the first byte chooses the form.
#include <cstddef>
#include <cstdint>
#include <span>

#include "player/SkinFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    static_cast<void>(lumenreel::parseSkinLayout(bytes, (data[0] & 1) != 0));
    return 0;
}
