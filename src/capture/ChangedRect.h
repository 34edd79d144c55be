#pragma once

#include <array>
#include <optional>

#include "base/Geometry.h"

class CImageExt;

namespace lumenreel {

// The smallest rectangle of the area that holds every pixel whose colour bytes differ between the
// two pictures (the fourth byte of 32-bit pixels is not compared); none when the area is the same.
// Both pictures hold the area; their depths may differ.
std::optional<Rect> changedRect(const CImageExt& image, const CImageExt& reference,
                                const Rect& area);

// The four quadrants of a width × height picture in the order deltas visit them: top-left,
// bottom-left, top-right, bottom-right. The left ones are width / 2 wide, the top ones height / 2
// high; the right and bottom ones take the rest.
std::array<Rect, 4> quadrantsOf(int width, int height);

}  // namespace lumenreel
