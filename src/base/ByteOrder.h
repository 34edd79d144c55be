#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

// Little-endian integers and floats in byte buffers: every binary format here is little-endian.
namespace lumenreel {

template <class T>
T loadLE(const std::uint8_t* bytes) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        auto* raw = reinterpret_cast<std::uint8_t*>(&value);
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
            std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    }
    return value;
}

template <class T>
void storeLE(std::uint8_t* bytes, T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    std::memcpy(bytes, &value, sizeof(T));
    if constexpr (std::endian::native == std::endian::big && sizeof(T) > 1) {
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
            std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
    }
}

template <class T>
void appendLE(std::vector<std::uint8_t>& out, T value) {
    std::size_t at = out.size();
    out.resize(at + sizeof(T));
    storeLE(out.data() + at, value);
}

inline std::uint16_t loadU16(const std::uint8_t* bytes) {
    return loadLE<std::uint16_t>(bytes);
}
inline std::uint32_t loadU32(const std::uint8_t* bytes) {
    return loadLE<std::uint32_t>(bytes);
}
inline std::int32_t loadI32(const std::uint8_t* bytes) {
    return loadLE<std::int32_t>(bytes);
}

}  // namespace lumenreel
