#pragma once

#include <cstdint>

#include "items/DrawItemImage.h"

namespace lumenreel {

struct HighlightProperties final : PropertiesOf<HighlightProperties, ImagePropertiesBase> {
    HighlightProperties();
    std::int32_t frameSize = 8;
    std::uint32_t frameColour = 0x0000A0;
    std::uint32_t fillColour = 0xA00000;
    bool noFill = false;
    void serialize(CSerializeInterface& archive) override;
};

// A framed, optionally filled rectangle drawn to lead the eye; white stored in it stays visible
// and an unfilled inside shows the frame through.
class CDrawItem_zcHiglight : public CDrawItem_zcImage {
public:
    using CProperties = HighlightProperties;

    CDrawItem_zcHiglight();

    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    float drawTransparencyAt(const ItemDrawContext& context) override;
    int nextId(bool advance) override;
    bool resizable() const override { return true; }
    void rebuildDisplayImage() override;

    HighlightProperties& highlightProperties() {
        return static_cast<HighlightProperties&>(properties());
    }

protected:
    void blendDisplay(CImageExt& target, int alpha) const override;
};

}  // namespace lumenreel
