#pragma once

#include "base/Guid.h"

namespace lumenreel {

// Type ids stored as each item's "guid"; the loader picks the class by them.
inline constexpr Guid kCommonItemTypeId =
    Guid::fromString("{1A54EDB2-CC41-4ECA-8853-6D8DDDD90DBE}");
inline constexpr Guid kCursorTypeId = Guid::fromString("{E620D9DF-847A-4B6F-836E-E681ABDC9049}");
inline constexpr Guid kSmokeTypeId = Guid::fromString("{E6F57D79-3ACF-44D5-8DCF-5F92CB06B614}");
inline constexpr Guid kImageTypeId = Guid::fromString("{C8F8E8BA-C6CC-4D34-A0F9-2079CEA3790C}");
inline constexpr Guid kHighlightTypeId = Guid::fromString("{B910483B-72F9-4098-BBE9-BE66F5DBB65F}");
inline constexpr Guid kSoundEffectTypeId =
    Guid::fromString("{51B8C2E4-34F2-42C8-A7CA-1666DBDCE426}");

// Keys every item record shares.
inline constexpr const char* kKeyGuid = "guid";
inline constexpr const char* kKeyEffectId = "effect_id";
inline constexpr const char* kKeyChildCount = "child_cnt";
inline constexpr const char* kSectionBaseObject = "BASE_OBJECT";
inline constexpr const char* kKeyPositionX = "position_x";
inline constexpr const char* kKeyPositionY = "position_y";
inline constexpr const char* kKeyItemName = "itemname";
inline constexpr const char* kKeyTransparency = "transparency";

// The item list and its placements.
inline constexpr const char* kSectionItemsManager = "ITEMS_MANAGER";
inline constexpr const char* kKeyPlacementCount = "num_all_links";
inline constexpr const char* kSectionLinkSection = "LINK_SECTION";
inline constexpr const char* kSectionObjectData = "OBJECT_DATA";

// The per-kind running numbers.
inline constexpr const char* kSectionEffectsIdsPool = "Effects_ids_pool";

}  // namespace lumenreel
