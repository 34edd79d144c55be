#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

// Points, sizes and rectangles in 32-bit signed pixels, with (0, 0) at the top-left of a picture.
namespace lumenreel {

// A sum worked out in 64 bits, held to the 32-bit pixel range (stored positions may be anything).
inline std::int32_t clampToInt(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Whole pixels from left/top up to, not including, right/bottom.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    // Wide enough for any two 32-bit edges.
    std::int64_t width() const { return std::int64_t{right} - left; }
    std::int64_t height() const { return std::int64_t{bottom} - top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A rectangle as the files that store one by its corner and size hold it.
struct Box {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Edges past the 32-bit range (a damaged file's) stop at its end.
    Rect rect() const { return {x, y, edge(x, width), edge(y, height)}; }
    friend bool operator==(const Box&, const Box&) = default;

private:
    static std::int32_t edge(std::int32_t from, std::int32_t length) {
        using Limits = std::numeric_limits<std::int32_t>;
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::int64_t{from} + length, Limits::min(), Limits::max()));
    }
};

}  // namespace lumenreel
