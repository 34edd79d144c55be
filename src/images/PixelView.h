#pragma once

#include <cstdint>

// A window onto top-down BGR (3 bytes) or BGRA (4 bytes) pixel rows; what the scaler, the canvas
// and the blenders work on, whoever owns the pixels.
struct PixelView {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;         // bytes from one row to the next
    int bytesPerPixel = 0;  // 3 or 4

    std::uint8_t* row(int y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
    bool empty() const { return data == nullptr || width <= 0 || height <= 0; }
};
