#include "base/Guid.h"

#include <algorithm>
#include <cstdio>

Guid Guid::fromBytes(std::span<const std::uint8_t> sixteen) {
    Guid guid;
    std::copy_n(sixteen.begin(), std::min<std::size_t>(16, sixteen.size()), guid.bytes.begin());
    return guid;
}

std::string Guid::toString() const {
    const auto& b = bytes;
    char text[39];
    std::snprintf(text, sizeof text,
                  "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}
