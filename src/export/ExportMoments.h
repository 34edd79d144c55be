#pragma once

#include <span>
#include <vector>

namespace lumenreel {

// The moments an export renders between `from` and `to` (not included): `from` itself, the
// movie-wide grid k / fps, and every boundary (a frame's start) inside the span, in order, each
// once. Grid moments are counted from time 0, so exports that start at different times line up.
std::vector<double> exportMoments(double from, double to, double fps,
                                  std::span<const double> boundaries);

// The grid step a moment falls on, counted from time 0 (the numbering of picture sequences).
long gridIndex(double t, double fps);

}  // namespace lumenreel
