#pragma once

#include <string>
#include <string_view>

namespace lumenreel {

// The installed font family that draws a face name stored in rich text: the metric-compatible
// stand-ins for the common Windows faces, the face itself when fontconfig has it, else the
// fallback family.
std::string fontFamilyFor(std::string_view face);

inline constexpr std::string_view kFallbackFontFamily = "DejaVu Sans";

}  // namespace lumenreel
