#pragma once

#include <cstdint>
#include <vector>

#include "images/PixelView.h"

namespace lumenreel::test {

// Pixels owned by a test, with optional padding after each row so stride handling shows.
struct PixelBuffer {
    PixelBuffer(int width, int height, int bytesPerPixel, int padding = 0)
        : bytes(static_cast<size_t>(width * bytesPerPixel + padding) * height, 0),
          view{bytes.data(), width, height, width * bytesPerPixel + padding, bytesPerPixel} {}
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    std::uint8_t* at(int x, int y) { return view.row(y) + x * view.bytesPerPixel; }
    const std::uint8_t* at(int x, int y) const { return view.row(y) + x * view.bytesPerPixel; }

    std::vector<std::uint8_t> bytes;
    PixelView view;
};

}  // namespace lumenreel::test
