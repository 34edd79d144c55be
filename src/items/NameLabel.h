#pragma once

#include <string_view>

#include "base/Geometry.h"

class CImageExt;

namespace lumenreel {

// An item's name on a dark plate, centred on the top of its bounds, at the label opacity (0 to
// 1). Nothing for an empty name or a zero opacity.
void drawNameLabel(CImageExt& target, std::string_view name, const Rect& bounds,
                   float labelOpacity);

}  // namespace lumenreel
