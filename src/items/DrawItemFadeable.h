#pragma once

#include <cstdint>

#include "items/DrawCommonItem.h"

namespace lumenreel {

// The transparency property of items that fade.
struct FadeablePropertiesBase : ItemPropertiesBase {
    float transparency = 0.0f;
    void serialize(CSerializeInterface& archive) override;
};

// An item whose opacity follows its placements: it fades in where its run of frames starts and
// out where it ends, a run being consecutive visible frames that hold it.
class CDrawItem_zcFadeable : public CDrawCommonItem {
public:
    using CPropertiesFade = FadeablePropertiesBase;

    float transparencyAt(const ItemDrawContext& context) override;
    void initPlacement(float frameDuration, CDrawItem_link& placement) const override;
    std::int32_t defaultFadeType() const { return m_defaultFadeType; }

protected:
    CDrawItem_zcFadeable(const Guid& typeId, std::unique_ptr<FadeablePropertiesBase> properties,
                         std::string nameKey, std::int32_t defaultFadeType);

    float transparencyProperty() const;
    // transparencyAt with the context frame's fade type taken as currentFadeType.
    float transparencyWithFade(const ItemDrawContext& context, std::int32_t currentFadeType);

private:
    std::int32_t m_defaultFadeType;
};

}  // namespace lumenreel
