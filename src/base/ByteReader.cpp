#include "base/ByteReader.h"

namespace lumenreel {

bool ByteReader::canRead(std::size_t count) {
    if (m_failed || count > remaining()) {
        m_failed = true;
        return false;
    }
    return true;
}

bool ByteReader::canHold(std::uint64_t count, std::size_t itemSize) {
    if (m_failed || (itemSize != 0 && count > remaining() / itemSize)) {
        m_failed = true;
        return false;
    }
    return true;
}

std::span<const std::uint8_t> ByteReader::take(std::size_t count) {
    if (!canRead(count))
        return {};
    auto bytes = m_data.subspan(m_position, count);
    m_position += count;
    return bytes;
}

std::string ByteReader::takeString(std::size_t count) {
    auto bytes = take(count);
    return std::string(bytes.begin(), bytes.end());
}

bool ByteReader::seek(std::size_t position) {
    if (m_failed || position > m_data.size()) {
        m_failed = true;
        return false;
    }
    m_position = position;
    return true;
}

}  // namespace lumenreel
