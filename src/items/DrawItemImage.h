#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "images/ImageExt.h"
#include "items/DrawItemFadeable.h"
#include "items/PoolPicture.h"

namespace lumenreel {

// The stored properties of a picture; copies of the record share the source picture.
struct ImagePropertiesBase : FadeablePropertiesBase {
    PoolPicture source;
    bool autosize = true;
    bool aspect = true;
    std::int32_t width = 0;
    std::int32_t height = 0;
    float compressionLevel = 0.5f;
    void serialize(CSerializeInterface& archive) override;
    // Why the last read could not be used; empty when it could.
    std::string readProblem;
};

struct ImageProperties final : PropertiesOf<ImageProperties, ImagePropertiesBase> {};

// A picture over the frame. It keeps a display image of exactly the size shown, rebuilt when its
// properties change, and blends it with its current transparency.
class CDrawItem_zcImage : public CDrawItem_zcFadeable {
public:
    using CProperties = ImageProperties;

    CDrawItem_zcImage();

    void draw(CImageExt& target, const ItemDrawContext& context) override;
    Rect bounds() override;
    void setRect(const Rect& rect, bool fixed) override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;
    int effectiveFadeType(const ItemDrawContext& context) const override;
    float drawTransparencyAt(const ItemDrawContext& context) override;
    void propertiesChanged() override;
    Size minimumSize() const override { return {10, 10}; }
    int nextId(bool advance) override;
    virtual bool resizable() const;

    // Makes the display image from the properties; width and height then hold its size.
    virtual void rebuildDisplayImage();
    const CImageExt* displayImage() const { return m_display.get(); }

    ImagePropertiesBase& imageProperties() {
        return static_cast<ImagePropertiesBase&>(properties());
    }
    const ImagePropertiesBase& imageProperties() const {
        return static_cast<const ImagePropertiesBase&>(properties());
    }

    // The picture shown, kept in the document's pool.
    void setSourcePicture(std::unique_ptr<CImageExt> picture);

    // Where "NoImage.png" is looked for; the picture without one is drawn in code.
    void setResourceFolder(std::string folder) { m_resourceFolder = std::move(folder); }

protected:
    CDrawItem_zcImage(const Guid& typeId, std::unique_ptr<ImagePropertiesBase> properties,
                      std::string nameKey);
    bool serializeContent(CSerializeInterface& archive) override;
    // Pictures blend every pixel; highlights skip their keyed pixels.
    virtual void blendDisplay(CImageExt& target, int alpha) const;
    void setDisplay(CImageExt image);

private:
    void fillMissingSource();
    // Where the source goes when it is read or set: the document's pool.
    PoolPicture& poolSource();

    std::unique_ptr<CImageExt> m_display;
    Rect m_displayRect;
    bool m_fixedRect = false;
    std::string m_resourceFolder;
};

// The size a picture keeping its aspect is shown at when the wanted size replaces the previous
// one: it covers the wanted size when both sides changed or it grows, and fits inside it when it
// shrinks.
Size keepAspectSize(Size picture, Size previous, Size wanted);

}  // namespace lumenreel
