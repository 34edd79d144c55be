#include "items/ItemFactory.h"

#include <array>

#include "items/DrawItemCursor.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemSchema.h"
#include "items/OpaqueItem.h"
#include "items/SoundEffectItem.h"

namespace lumenreel {

namespace {

template <class Item>
std::unique_ptr<CDrawCommonItem> make() {
    return std::make_unique<Item>();
}

const std::array kKinds{
    ItemKind{kCursorTypeId, "cursor", &make<CDrawItem_zcCursor>},
    ItemKind{kSmokeTypeId, "balloon caption", &make<CDrawItem_zcSmoke>},
    ItemKind{kImageTypeId, "picture", &make<CDrawItem_zcImage>},
    ItemKind{kHighlightTypeId, "highlight", &make<CDrawItem_zcHiglight>},
    ItemKind{kSoundEffectTypeId, "sound effect", &make<CSoundEffectItem>},
};

}  // namespace

std::span<const ItemKind> itemKinds() {
    return kKinds;
}

const ItemKind* itemKindFor(const Guid& typeId) {
    for (const ItemKind& kind : kKinds)
        if (kind.typeId == typeId)
            return &kind;
    return nullptr;
}

std::unique_ptr<CDrawCommonItem> createItem(const Guid& typeId) {
    if (const ItemKind* kind = itemKindFor(typeId))
        return kind->make();
    return std::make_unique<COpaqueItem>(typeId);
}

}  // namespace lumenreel
