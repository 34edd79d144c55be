#pragma once

#include <cstdint>

// The point, size and rectangle values that stored objects exchange (32-bit signed pixels).
namespace lumenreel {

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // Wide enough for any two 32-bit edges.
    std::int64_t width() const { return std::int64_t{right} - left; }
    std::int64_t height() const { return std::int64_t{bottom} - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace lumenreel
