#pragma once

#include "items/DrawCommonItem.h"

namespace lumenreel {

// An item of a kind this program does not know. It keeps its type id, serial number, child list
// and common properties so that a document written back still holds it; it draws nothing.
class COpaqueItem : public CDrawCommonItem {
public:
    explicit COpaqueItem(const Guid& typeId);

    void draw(CImageExt&, const ItemDrawContext&) override {}
    Rect bounds() override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;
};

}  // namespace lumenreel
