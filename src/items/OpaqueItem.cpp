#include "items/OpaqueItem.h"

#include "items/SoundEffectItem.h"

namespace lumenreel {

COpaqueItem::COpaqueItem(const Guid& typeId)
    : CDrawCommonItem(typeId, std::make_unique<CommonProperties>(), "ID_DEFAULT_COMMON_ITEM_NAME") {
}

Rect COpaqueItem::bounds() {
    Point at = position();
    return {at.x, at.y, at.x, at.y};
}

std::unique_ptr<CDrawCommonItem> COpaqueItem::createBlank() const {
    auto item = std::make_unique<COpaqueItem>(typeId());
    item->setPosition(position().x, position().y);
    return item;
}

void COpaqueItem::visibleSpan(const ItemDrawContext& context, float& start, float& end) const {
    placementSpan(context, start, end);
}

}  // namespace lumenreel
