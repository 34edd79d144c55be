#pragma once

#include <cstdint>

class CSerializeInterface;

namespace lumenreel {

class CDrawCommonItem;

enum FadeType : std::int32_t { kFadeNone = 0, kFadeIn = 1, kFadeOut = 2, kFadeBoth = 3 };

inline bool fadesIn(std::int32_t type) {
    return type == kFadeIn || type == kFadeBoth;
}
inline bool fadesOut(std::int32_t type) {
    return type == kFadeOut || type == kFadeBoth;
}

}  // namespace lumenreel

// One placement of an item on a frame: the item's visible interval within that frame and its
// fades. Status 0 owns the item (its data is stored with the placement); non-zero refers to an
// item owned by another placement.
struct CDrawItem_link {
    std::uint8_t status = 0;
    lumenreel::CDrawCommonItem* item = nullptr;
    std::int32_t uniqueId = 0;
    std::int32_t zPosition = -1;
    float visStart = 0.0f;
    float visEnd = 0.0f;
    std::int32_t leftGrip = 0;
    std::int32_t rightGrip = 0;
    float fadeIn = 1.0f;
    float fadeOut = 1.0f;
    std::int32_t fadeType = lumenreel::kFadeNone;

    // The "LINK_SECTION" keys; false when the section cannot be entered.
    bool serialize(CSerializeInterface& archive);
};
