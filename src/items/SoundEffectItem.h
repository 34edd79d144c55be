#pragma once

#include "items/DrawCommonItem.h"

namespace lumenreel {

// A sound effect placed on frames. It holds no sound of its own and draws nothing; the list keeps
// it so that a document round-trips.
class CSoundEffectItem : public CDrawCommonItem {
public:
    CSoundEffectItem();

    void draw(CImageExt&, const ItemDrawContext&) override {}
    Rect bounds() override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;
    bool isShownIn(const ItemDrawContext& context) const override;
    int nextId(bool advance) override;

protected:
    // The older form (the plain stream) stores nothing of a sound effect item.
    bool storedIn(const CSerializeInterface& archive) const override;
};

// The visible interval of a placement on a frame of that duration: the placement's own when it
// says anything, else the whole frame; the start raised to 0 and the end cut to the duration.
void placementSpan(const ItemDrawContext& context, float& start, float& end);

// Whether the context's time lies in the item's visible interval (always, without a time).
bool shownInSpan(const CDrawCommonItem& item, const ItemDrawContext& context);

}  // namespace lumenreel
