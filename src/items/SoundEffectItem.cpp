#include "items/SoundEffectItem.h"

#include <algorithm>

#include "items/ItemCounters.h"
#include "items/ItemPlacement.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

void placementSpan(const ItemDrawContext& context, float& start, float& end) {
    const CDrawItem_link* placement = context.placement;
    start = 0.0f;
    end = context.frameDuration;
    if (!placement)
        return;
    const bool says = placement->visStart != 0.0f ||
                      (placement->visEnd != 0.0f && placement->visEnd > placement->visStart);
    if (!says)
        return;
    start = std::max(placement->visStart, 0.0f);
    end = std::min(placement->visEnd, context.frameDuration);
}

bool shownInSpan(const CDrawCommonItem& item, const ItemDrawContext& context) {
    if (context.time < 0.0f)
        return true;
    float start = 0.0f, end = 0.0f;
    item.visibleSpan(context, start, end);
    return start <= context.time && context.time <= end;
}

CSoundEffectItem::CSoundEffectItem()
    : CDrawCommonItem(kSoundEffectTypeId, std::make_unique<CommonProperties>(), "!Sound") {}

Rect CSoundEffectItem::bounds() {
    Point at = position();
    return {at.x, at.y, at.x, at.y};
}

std::unique_ptr<CDrawCommonItem> CSoundEffectItem::createBlank() const {
    auto item = std::make_unique<CSoundEffectItem>();
    item->setPosition(position().x, position().y);
    return item;
}

void CSoundEffectItem::visibleSpan(const ItemDrawContext& context, float& start, float& end) const {
    placementSpan(context, start, end);
}

bool CSoundEffectItem::isShownIn(const ItemDrawContext& context) const {
    return shownInSpan(*this, context);
}

int CSoundEffectItem::nextId(bool advance) {
    return advance ? itemCounters().sound++ : itemCounters().sound;
}

bool CSoundEffectItem::storedIn(const CSerializeInterface& archive) const {
    return archive.GetFormatId() != CSerializeInterface::kPlainFormatId;
}

}  // namespace lumenreel
