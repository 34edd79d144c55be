#pragma once

#include <cstdint>

namespace lumenreel {

// Largest picture the program accepts from any source. Screens and demo pictures stay far below;
// the caps keep a hostile header from asking for gigabytes.
inline constexpr int kMaxImageDimension = 16384;
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{40} * 1024 * 1024;

inline bool imageSizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageDimension && height <= kMaxImageDimension &&
           width * height <= kMaxImagePixels;
}

}  // namespace lumenreel
