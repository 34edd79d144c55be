#pragma once

#include <cstdint>

class CImageExt;

namespace lumenreel {

// Pure white marks the transparent parts of keyed overlays; stored white that must stay
// visible is drawn just off white.
inline constexpr std::uint32_t kKeyWhite = 0xFFFFFF;
inline constexpr std::uint32_t kVisibleWhite = 0xFEFEFE;

// The colour bytes of a stored colour as drawn on a keyed picture.
constexpr std::uint32_t visibleColour(std::uint32_t colour) {
    colour &= 0xFFFFFF;
    return colour == kKeyWhite ? kVisibleWhite : colour;
}

// Makes pure white pixels of a 32-bit picture fully transparent (all four bytes 0) and gives
// every other pixel full alpha.
void keyWhite(CImageExt& picture);

}  // namespace lumenreel
