#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/ByteOrder.h"

namespace lumenreel {

// Reads outside data from a byte span without ever passing its end. A read that does not fit
// marks the reader failed and yields zeros; callers check ok() once after a group of reads and
// use remaining() to bound counts before allocating.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : m_data(data) {}

    template <class T>
    T read() {
        if (!canRead(sizeof(T)))
            return T{};
        T value = loadLE<T>(m_data.data() + m_position);
        m_position += sizeof(T);
        return value;
    }
    std::uint8_t u8() { return read<std::uint8_t>(); }
    std::uint16_t u16() { return read<std::uint16_t>(); }
    std::uint32_t u32() { return read<std::uint32_t>(); }
    std::int32_t i32() { return read<std::int32_t>(); }
    std::uint64_t u64() { return read<std::uint64_t>(); }
    float f32() { return read<float>(); }
    double f64() { return read<double>(); }

    // The next count bytes (empty and failed when fewer remain).
    std::span<const std::uint8_t> take(std::size_t count);
    std::string takeString(std::size_t count);
    bool skip(std::size_t count) { return !take(count).empty() || count == 0; }

    // True when count more bytes are there; false (and failed) otherwise.
    bool canRead(std::size_t count);
    // True when count items of itemSize bytes could still be there: bounds counts before
    // allocating.
    bool canHold(std::uint64_t count, std::size_t itemSize);

    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_data.size() - m_position; }
    bool seek(std::size_t position);
    bool ok() const { return !m_failed; }
    void fail() { m_failed = true; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_position = 0;
    bool m_failed = false;
};

}  // namespace lumenreel
