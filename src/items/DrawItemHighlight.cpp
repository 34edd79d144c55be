#include "items/DrawItemHighlight.h"

#include "images/HighlightPicture.h"
#include "images/ImageLimits.h"
#include "items/ItemColour.h"
#include "items/ItemCounters.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

HighlightProperties::HighlightProperties() {
    width = 50;
    height = 50;
    autosize = false;
    aspect = true;
    transparency = 0.5f;
}

void HighlightProperties::serialize(CSerializeInterface& archive) {
    ImagePropertiesBase::serialize(archive);
    archive.SetKey("frame_size");
    archive.Exchange(frameSize);
    exchangeColour(archive, "frame_color", frameColour);
    exchangeColour(archive, "fill_color", fillColour);
    archive.SetKey("no_fill");
    archive.Exchange(noFill);
    if (!archive.IsStoring() && readProblem.empty() && frameSize < 0)
        readProblem = "frame size " + std::to_string(frameSize) + " out of range";
}

CDrawItem_zcHiglight::CDrawItem_zcHiglight()
    : CDrawItem_zcImage(kHighlightTypeId, std::make_unique<HighlightProperties>(), "!Highlight") {}

std::unique_ptr<CDrawCommonItem> CDrawItem_zcHiglight::createBlank() const {
    auto item = std::make_unique<CDrawItem_zcHiglight>();
    item->setPosition(position().x, position().y);
    item->properties().copyFrom(properties());
    return item;
}

float CDrawItem_zcHiglight::drawTransparencyAt(const ItemDrawContext& context) {
    return transparencyAt(context);
}

int CDrawItem_zcHiglight::nextId(bool advance) {
    return advance ? itemCounters().highlight++ : itemCounters().highlight;
}

void CDrawItem_zcHiglight::rebuildDisplayImage() {
    const HighlightProperties& record = static_cast<const HighlightProperties&>(properties());
    HighlightStyle style;
    style.penWidth = static_cast<float>(record.frameSize);
    style.penColour = record.frameColour;
    style.fillColour = record.fillColour;
    style.filled = !record.noFill;
    CImageExt picture = makeHighlightPicture(record.width, record.height, style);
    if (!picture.isNull())
        setDisplay(std::move(picture));
}

void CDrawItem_zcHiglight::blendDisplay(CImageExt& target, int alpha) const {
    // The picture is keyed: its see-through pixels are all zero.
    displayImage()->blendInto(target, position().x, position().y, alpha, 0, true);
}

}  // namespace lumenreel
