#include "sound/PlaybackSpeed.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace lumenreel {
namespace {

constexpr std::array kSteps{0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f};

}  // namespace

void PlaybackSpeed::set(float value) {
    m_value = std::isfinite(value) ? std::clamp(value, kSlowest, kFastest) : 1.0f;
}

float PlaybackSpeed::stepped(float from, int direction) {
    if (direction > 0) {
        const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), from);
        return next == kSteps.end() ? kSteps.back() : *next;
    }
    const auto below = std::lower_bound(kSteps.begin(), kSteps.end(), from);
    return below == kSteps.begin() ? kSteps.front() : *(below - 1);
}

std::string PlaybackSpeed::name(float speed) {
    char text[32];
    std::snprintf(text, sizeof text, "\u00d7%g", static_cast<double>(speed));
    return text;
}

}  // namespace lumenreel
