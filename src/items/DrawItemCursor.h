#pragma once

#include <cstdint>
#include <memory>

#include "images/CursorImage.h"
#include "items/DrawCommonItem.h"

namespace lumenreel {

inline constexpr std::int32_t kCursorCurved = 1;

struct CursorProperties final : PropertiesOf<CursorProperties, ItemPropertiesBase> {
    std::int32_t moveType = kCursorCurved;
    float startTime = 0.0f;
    float endTime = 0.0f;
    void serialize(CSerializeInterface& archive) override;
};

// A frame's mouse pointer: its picture with the hot spot, drawn with its top-left corner at the
// position, so the tip is at position + hot spot.
class CDrawItem_zcCursor : public CDrawCommonItem {
public:
    using CProperties = CursorProperties;

    CDrawItem_zcCursor();

    void draw(CImageExt& target, const ItemDrawContext& context) override;
    // 16 × 16 around the hot spot.
    Rect bounds() override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;

    // A disc of 16 pixels around the hot spot in the marker colour.
    void drawClickMarker(CImageExt& target) const;
    void setMarkerColour(std::uint32_t colour) { m_markerColour = colour; }
    // Keeps the hot spot where it is on the frame.
    void setImage(std::unique_ptr<CursorImage> image);
    void setImageAt(std::unique_ptr<CursorImage> image, Point point);
    const CursorImage* image() const { return m_image.get(); }
    // The path to the next frame's cursor as a green-to-red arrow that stops short of both tips;
    // nothing unless both cursors have pictures.
    void drawPathPreview(CImageExt& target, const CDrawItem_zcCursor& to, float scale) const;

    CursorProperties& cursorProperties() { return static_cast<CursorProperties&>(properties()); }
    const CursorProperties& cursorProperties() const {
        return static_cast<const CursorProperties&>(properties());
    }

protected:
    bool serializeContent(CSerializeInterface& archive) override;

private:
    Point hotspot() const;
    bool readBitmap(CSerializeInterface& archive, const char* section,
                    std::vector<std::uint8_t>& bytes);
    void writeBitmap(CSerializeInterface& archive, const char* section,
                     const std::vector<std::uint8_t>& bytes);

    std::unique_ptr<CursorImage> m_image;
    std::uint32_t m_markerColour = 0x148200;
};

}  // namespace lumenreel
