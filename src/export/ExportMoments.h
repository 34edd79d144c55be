#pragma once

#include <span>
#include <vector>

namespace lumenreel {

// Times closer than this are one moment: the movie's clock is 32-bit floats.
inline constexpr double kSameMoment = 1e-6;

// The moments an export renders between `from` and `to` (not included): `from` itself, the
// movie-wide grid k / fps, and every boundary (a frame's start) inside the span, in order, each
// once. Grid moments are counted from time 0, so exports that start at different times line up.
std::vector<double> exportMoments(double from, double to, double fps,
                                  std::span<const double> boundaries);

// The grid step a moment falls on, counted from time 0 (the numbering of picture sequences).
long gridIndex(double t, double fps);
// The first grid step at or after `from`.
long firstGridStep(double from, double fps);

}  // namespace lumenreel
