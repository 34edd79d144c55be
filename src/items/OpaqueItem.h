#pragma once

#include "items/DrawCommonItem.h"
#include "storage/StoredKey.h"

namespace lumenreel {

// The common properties, and every other key an item of an unknown kind was stored with.
struct OpaqueProperties final : PropertiesOf<OpaqueProperties, ItemPropertiesBase> {
    std::vector<StoredKey> otherKeys;

    void serialize(CSerializeInterface& archive) override;
};

// An item of a kind this program does not know. It keeps its type id, serial number, child list,
// common properties and (in the keyed form) all its other keys, so that a document written back
// still holds it whole; it draws nothing.
class COpaqueItem : public CDrawCommonItem {
public:
    explicit COpaqueItem(const Guid& typeId);

    void draw(CImageExt&, const ItemDrawContext&) override {}
    Rect bounds() override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;
};

}  // namespace lumenreel
