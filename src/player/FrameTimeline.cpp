#include "player/FrameTimeline.h"

#include <algorithm>

namespace lumenreel {

FrameTimeline::FrameTimeline(std::span<const float> durations) {
    m_ends.reserve(durations.size());
    float sum = 0;
    for (float duration : durations)
        m_ends.push_back(sum += duration);
}

int FrameTimeline::frameAt(float t) const {
    // A scan, not a binary search: a damaged file's negative or NaN durations leave the ends
    // unordered, and the first end at or after t must still win.
    for (int i = 0; i < count(); ++i)
        if (m_ends[static_cast<std::size_t>(i)] >= t)
            return i;
    return std::max(count() - 1, 0);
}

float FrameTimeline::startOf(int i) const {
    const int before = std::min(i, count());
    return before > 0 ? m_ends[static_cast<std::size_t>(before - 1)] : 0.0f;
}

}  // namespace lumenreel
