#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "images/ImageExt.h"

namespace lumenreel {

// A mouse cursor as movies store it: a hot spot, an AND mask and, for colour cursors, a colour
// picture. A monochrome cursor (no colour picture) has a mask twice as high as the cursor: the
// AND mask on top, the XOR mask below. This is what readers build and what cursor items and
// CCursorExt work from.
class CursorImage {
public:
    // False result (null) when the mask is missing or undecodable, when a colour bitmap is
    // present but undecodable, or when the sizes do not fit together.
    static std::unique_ptr<CursorImage> fromBitmaps(int hotspotX, int hotspotY,
                                                    std::span<const std::uint8_t> maskFile,
                                                    std::span<const std::uint8_t> colourFile);
    static std::unique_ptr<CursorImage> fromImages(int hotspotX, int hotspotY, CImageExt mask,
                                                   CImageExt colour);

    int hotspotX() const { return m_hotspotX; }
    int hotspotY() const { return m_hotspotY; }
    bool hasColour() const { return !m_colour.isNull(); }
    // The cursor's size: the mask's width, and its height (halved for monochrome cursors).
    int width() const { return m_mask.width(); }
    int height() const { return hasColour() ? m_mask.height() : m_mask.height() / 2; }
    const CImageExt& mask() const { return m_mask; }
    const CImageExt& colour() const { return m_colour; }

    // The usual icon drawing with the top-left corner at (x, y): the AND mask, then the colour
    // picture or the XOR mask with XOR.
    void draw(const PixelView& target, int x, int y) const;

    // The bitmap files a writer stores: the mask as a 1-bit file, the colour picture at its own
    // depth (empty when there is none).
    std::vector<std::uint8_t> maskFile() const;
    std::vector<std::uint8_t> colourFile() const;

    // Only the factories can name this key, so every cursor has passed their checks.
    class Checked {
        friend class CursorImage;
        Checked() = default;
    };
    CursorImage(Checked, int hotspotX, int hotspotY, CImageExt mask, CImageExt colour);

private:
    int m_hotspotX;
    int m_hotspotY;
    CImageExt m_mask;
    CImageExt m_colour;
};

}  // namespace lumenreel
