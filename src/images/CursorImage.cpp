#include "images/CursorImage.h"

#include "images/BmpCodec.h"
#include "images/MaskRaster.h"

namespace lumenreel {

CursorImage::CursorImage(Checked, int hotspotX, int hotspotY, CImageExt mask, CImageExt colour)
    : m_hotspotX(hotspotX),
      m_hotspotY(hotspotY),
      m_mask(std::move(mask)),
      m_colour(std::move(colour)) {}

std::unique_ptr<CursorImage> CursorImage::fromImages(int hotspotX, int hotspotY, CImageExt mask,
                                                     CImageExt colour) {
    if (mask.isNull())
        return nullptr;
    if (colour.isNull() ? mask.height() < 2
                        : colour.width() != mask.width() || colour.height() != mask.height())
        return nullptr;
    return std::make_unique<CursorImage>(Checked(), hotspotX, hotspotY, std::move(mask),
                                         std::move(colour));
}

std::unique_ptr<CursorImage> CursorImage::fromBitmaps(int hotspotX, int hotspotY,
                                                      std::span<const std::uint8_t> maskFile,
                                                      std::span<const std::uint8_t> colourFile) {
    CImageExt mask;
    CImageExt colour;
    if (!mask.loadFromBytes(maskFile))
        return nullptr;
    if (!colourFile.empty() && !colour.loadFromBytes(colourFile))
        return nullptr;
    return fromImages(hotspotX, hotspotY, std::move(mask), std::move(colour));
}

void CursorImage::draw(const PixelView& target, int x, int y) const {
    const PixelView mask = m_mask.view();
    andPixels(rowsOf(mask, 0, height()), target, x, y);
    if (hasColour())
        xorPixels(m_colour.view(), target, x, y);
    else
        xorPixels(rowsOf(mask, height(), height()), target, x, y);
}

std::vector<std::uint8_t> CursorImage::maskFile() const {
    std::vector<std::uint8_t> bytes;
    encodeMonochromeBmp(m_mask, bytes);
    return bytes;
}

std::vector<std::uint8_t> CursorImage::colourFile() const {
    std::vector<std::uint8_t> bytes;
    if (hasColour())
        encodeBmp(m_colour, bytes);
    return bytes;
}

}  // namespace lumenreel
