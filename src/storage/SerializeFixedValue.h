#pragma once

#include <array>
#include <cstdint>

#include "base/ByteOrder.h"
#include "base/Geometry.h"

// The little-endian stored layout of each fixed-size value the serialization interface exchanges.
namespace lumenreel {

// Bytes is a caller's byte block of any length; the others have the layouts below.
enum class ValueKind {
    Bytes,
    Int8,
    Bool,
    Int16,
    Int32,
    UInt64,
    Int64,
    Float,
    Double,
    Point,
    Size,
    Rect
};

template <class T>
struct FixedValue;

// Scalars are stored as themselves.
template <class T, ValueKind K>
struct ScalarFixedValue {
    static constexpr ValueKind kind = K;
    static constexpr std::size_t size = sizeof(T);
    static std::array<std::uint8_t, size> encode(T value) {
        std::array<std::uint8_t, size> bytes{};
        storeLE(bytes.data(), value);
        return bytes;
    }
    static T decode(const std::uint8_t* bytes) { return loadLE<T>(bytes); }
};

template <>
struct FixedValue<std::uint8_t> : ScalarFixedValue<std::uint8_t, ValueKind::Int8> {};
template <>
struct FixedValue<std::int16_t> : ScalarFixedValue<std::int16_t, ValueKind::Int16> {};
template <>
struct FixedValue<std::uint16_t> : ScalarFixedValue<std::uint16_t, ValueKind::Int16> {};
template <>
struct FixedValue<std::int32_t> : ScalarFixedValue<std::int32_t, ValueKind::Int32> {};
template <>
struct FixedValue<std::uint32_t> : ScalarFixedValue<std::uint32_t, ValueKind::Int32> {};
template <>
struct FixedValue<std::uint64_t> : ScalarFixedValue<std::uint64_t, ValueKind::UInt64> {};
template <>
struct FixedValue<std::int64_t> : ScalarFixedValue<std::int64_t, ValueKind::Int64> {};
template <>
struct FixedValue<float> : ScalarFixedValue<float, ValueKind::Float> {};
template <>
struct FixedValue<double> : ScalarFixedValue<double, ValueKind::Double> {};

template <>
struct FixedValue<bool> {
    static constexpr ValueKind kind = ValueKind::Bool;
    static constexpr std::size_t size = 1;
    static std::array<std::uint8_t, 1> encode(bool value) { return {std::uint8_t{value}}; }
    // Any non-zero byte is true.
    static bool decode(const std::uint8_t* bytes) { return bytes[0] != 0; }
};

// Geometry is a run of 32-bit integers in field order.
template <class T, ValueKind K, std::size_t N, std::int32_t T::*... Fields>
struct Int32RunFixedValue {
    static constexpr ValueKind kind = K;
    static constexpr std::size_t size = 4 * N;
    static std::array<std::uint8_t, size> encode(const T& value) {
        std::array<std::uint8_t, size> bytes{};
        std::size_t at = 0;
        ((storeLE(bytes.data() + at, value.*Fields), at += 4), ...);
        return bytes;
    }
    static T decode(const std::uint8_t* bytes) {
        T value{};
        std::size_t at = 0;
        ((value.*Fields = loadLE<std::int32_t>(bytes + at), at += 4), ...);
        return value;
    }
};

template <>
struct FixedValue<Point> : Int32RunFixedValue<Point, ValueKind::Point, 2, &Point::x, &Point::y> {};
template <>
struct FixedValue<Size>
    : Int32RunFixedValue<Size, ValueKind::Size, 2, &Size::width, &Size::height> {};
template <>
struct FixedValue<Rect> : Int32RunFixedValue<Rect, ValueKind::Rect, 4, &Rect::left, &Rect::top,
                                             &Rect::right, &Rect::bottom> {};

}  // namespace lumenreel
