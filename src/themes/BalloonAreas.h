#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Geometry.h"

namespace lumenreel {

// Up to this many templates make an item set.
inline constexpr int kBalloonTemplateSlots = 9;

// Where a template grows and where its text goes, in the template's pixels.
struct BalloonAreas {
    Point split;
    Rect textArea;
};

// One template's entry of "areas.txt": its areas, or why they cannot be used.
struct BalloonAreasEntry {
    std::optional<BalloonAreas> areas;
    std::string problem;
};

// The entries of an "areas.txt": seven lines per template (split x, split y, text area left,
// top, right, bottom, one ignored line), at most one entry per template slot; reading stops at
// the first entry whose seven lines are not all there.
std::vector<BalloonAreasEntry> parseBalloonAreas(std::string_view text);

// Why the areas cannot be used with a template of that size (split point outside it, text area
// outside or inverted), or empty when they can.
std::string balloonAreasProblem(const BalloonAreas& areas, int width, int height);

}  // namespace lumenreel
