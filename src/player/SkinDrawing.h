#pragma once

#include <cstdint>
#include <optional>

class CImageExt;

namespace lumenreel {

// Draws a skin picture into a 32-bit target at (x, y), clipped. A 32-bit picture is laid over the
// target by its own alpha (an opaque picture is copied), so round controls keep smooth edges on
// whatever lies beneath; pixels whose colour equals the key (0xRRGGBB) are skipped. The target
// stays opaque. Opacity (0..255) fades the whole picture further, as for disabled controls.
void drawSkinImage(const CImageExt& image, CImageExt& target, int x, int y,
                   std::optional<std::uint32_t> key = std::nullopt, int opacity = 255);

}  // namespace lumenreel
