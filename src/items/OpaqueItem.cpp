#include "items/OpaqueItem.h"

#include "items/SoundEffectItem.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

void OpaqueProperties::serialize(CSerializeInterface& archive) {
    ItemPropertiesBase::serialize(archive);
    // The keys written above by name come first, so the stored copies of them are not written
    // again; the other keys are written back as they were read.
    archive.ExchangeSectionKeys(otherKeys);
}

COpaqueItem::COpaqueItem(const Guid& typeId)
    : CDrawCommonItem(typeId, std::make_unique<OpaqueProperties>(), "ID_DEFAULT_COMMON_ITEM_NAME") {
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
