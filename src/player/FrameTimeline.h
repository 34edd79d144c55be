#pragma once

#include <span>
#include <vector>

namespace lumenreel {

// Where each playable frame of a movie ends on its clock, summed once when the movie is attached
// (in frame order, as the durations add up in 32-bit floats).
class FrameTimeline {
public:
    FrameTimeline() = default;
    explicit FrameTimeline(std::span<const float> durations);

    int count() const { return static_cast<int>(m_ends.size()); }
    float total() const { return m_ends.empty() ? 0.0f : m_ends.back(); }
    // The first frame whose end is at or after t; the last one past the end (rounding of a
    // clamped time, or a caller's time beyond the movie), 0 without frames.
    int frameAt(float t) const;
    // The summed durations of the frames before i.
    float startOf(int i) const;

private:
    std::vector<float> m_ends;
};

}  // namespace lumenreel
