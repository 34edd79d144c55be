#include "items/DrawItemFadeable.h"

#include <algorithm>
#include <cmath>

#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

// The placements that bound the item's run of frames, and where they start in the movie.
struct FadeRun {
    const CDrawItem_link* first = nullptr;
    const CDrawItem_link* last = nullptr;
    float firstOffset = 0.0f;
    float lastOffset = 0.0f;
    float contextOffset = 0.0f;
    std::int32_t firstType = kFadeNone;
    std::int32_t lastType = kFadeNone;
};

float visibleTimeBefore(const ItemDocument& document, int frame) {
    float sum = 0.0f;
    for (int i = 0; i < frame; ++i)
        if (document.frameVisible(i))
            sum += document.frameDuration(i);
    return sum;
}

// Walks from the frame over visible frames, skipping hidden ones, while they hold the item.
int runEnd(const ItemDocument& document, const CDrawCommonItem& item, int frame, int step) {
    int end = frame;
    for (int i = frame + step; i >= 0 && i < document.frameCount(); i += step) {
        if (!document.frameVisible(i))
            continue;
        if (!document.placementOn(i, item))
            break;
        end = i;
    }
    return end;
}

FadeRun findRun(const CDrawCommonItem& item, const ItemDrawContext& context,
                std::int32_t currentType) {
    FadeRun run;
    run.first = run.last = context.placement;
    run.firstType = run.lastType = currentType;
    const ItemDocument* document = item.document();
    if (!document || context.frameIndex < 0 || context.frameIndex >= document->frameCount())
        return run;
    int first = runEnd(*document, item, context.frameIndex, -1);
    int last = runEnd(*document, item, context.frameIndex, +1);
    if (first != context.frameIndex) {
        run.first = document->placementOn(first, item);
        run.firstType = run.first->fadeType;
    }
    if (last != context.frameIndex) {
        run.last = document->placementOn(last, item);
        run.lastType = run.last->fadeType;
    }
    run.firstOffset = visibleTimeBefore(*document, first);
    run.lastOffset = visibleTimeBefore(*document, last);
    run.contextOffset = visibleTimeBefore(*document, context.frameIndex);
    return run;
}

}  // namespace

void FadeablePropertiesBase::serialize(CSerializeInterface& archive) {
    ItemPropertiesBase::serialize(archive);
    archive.SetKey(kKeyTransparency);
    archive.Exchange(transparency);
}

CDrawItem_zcFadeable::CDrawItem_zcFadeable(const Guid& typeId,
                                           std::unique_ptr<FadeablePropertiesBase> properties,
                                           std::string nameKey, std::int32_t defaultFadeType)
    : CDrawCommonItem(typeId, std::move(properties), std::move(nameKey)),
      m_defaultFadeType(defaultFadeType) {}

float CDrawItem_zcFadeable::transparencyProperty() const {
    return static_cast<const FadeablePropertiesBase&>(properties()).transparency;
}

float CDrawItem_zcFadeable::transparencyAt(const ItemDrawContext& context) {
    return transparencyWithFade(context,
                                context.placement ? context.placement->fadeType : kFadeNone);
}

float CDrawItem_zcFadeable::transparencyWithFade(const ItemDrawContext& context,
                                                 std::int32_t currentFadeType) {
    const float tr = transparencyProperty();
    const float k = context.opacity;
    if (context.time < 0.0f || !context.placement)
        return 1.0f - (1.0f - tr) * k;
    FadeRun run = findRun(*this, context, currentFadeType);
    if (!isShownIn(context))
        return 1.0f;
    const float s = run.first->visStart + run.firstOffset;
    const float e = run.last->visEnd + run.lastOffset;
    const float t = context.time + run.contextOffset;
    const float din = run.first->fadeIn;
    const float dout = run.last->fadeOut;
    float value = tr;
    float inEnd = 0.0f;
    // A fade of no length (or a negative one from a damaged file) is no fade: dividing by it
    // would turn the item into NaN.
    if (fadesIn(run.firstType) && din > 0.0f) {
        inEnd = s + din;
        value = t < inEnd ? 1.0f - ((t - s) / din) * (1.0f - tr) : tr;
    }
    if (fadesOut(run.lastType) && dout > 0.0f && t > e - dout && t > inEnd)
        value = tr + (1.0f - tr) * (t - (e - dout)) / dout;
    value = std::isnan(value) ? 1.0f : std::clamp(value, 0.0f, 1.0f);
    return 1.0f - (1.0f - value) * k;
}

void CDrawItem_zcFadeable::initPlacement(float frameDuration, CDrawItem_link& placement) const {
    CDrawCommonItem::initPlacement(frameDuration, placement);
    placement.fadeType = m_defaultFadeType;
    placement.fadeIn = 1.0f;
    placement.fadeOut = 1.0f;
}

}  // namespace lumenreel
